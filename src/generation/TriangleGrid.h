#pragma once

#include "foundation/Records.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// A uniform grid over x, y of the model triangles' plan boxes, each box grown by
// a fixed reach: the triangles whose grown box holds a plan point are found in
// the one cell under the point.
namespace korvane {

// The plan box of `t` grown by `reach`, and whether it holds (x, y): the test
// both the grid and a plain scan of the list apply.
struct GrownBox {
    double minX, minY, maxX, maxY;
};
GrownBox grownBox(const TTrojkat& t, double reach);
inline bool holds(const GrownBox& b, double x, double y) {
    return x >= b.minX && x <= b.maxX && y >= b.minY && y <= b.maxY;
}

class TriangleGrid {
  public:
    // How a cell keeps its triangles: in list order, or highest top first so
    // that a lookup above a height reads only the triangles that reach it.
    enum class Order { byPosition, byTop };

    // Indexes `triangles`, every plan box grown by `reach` mm on each side.
    TriangleGrid(std::span<const TTrojkat> triangles, double reach,
                 Order order = Order::byPosition);

    // Positions in the list, ascending, of the triangles whose grown plan box
    // holds (x, y), edges included, and whose highest vertex lies above
    // `above`, into `out` (cleared first).
    void near(double x, double y, double above, std::vector<std::int32_t>& out) const;

  private:
    int column(double x) const;
    int row(double y) const;

    // A triangle listed in a cell, with its plan box (not grown), so that the
    // test reads nothing else.
    struct Entry {
        std::int32_t triangle;
        float minX, minY, maxX, maxY, maxZ;
    };
    std::vector<std::int32_t> first_;  // per cell: start of its entries, and one past the end
    std::unique_ptr<Entry[]> entries_; // filled cell by cell, so left uninitialised at first
    double reach_ = 0;
    Order order_;
    double originX_ = 0, originY_ = 0, cellSize_ = 1;
    int columns_ = 0, rows_ = 0;
};

} // namespace korvane
