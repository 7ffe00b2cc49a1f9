#pragma once

#include "geometry/Figury.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// The points of figures bucketed by plan squares, for the mixed strategy's
// thinning of dense contours: whether a point of another figure near in level
// lies near a point.
namespace korvane {

// The squares are at least twice the nearness apart, so that the points near a
// point are found among the nine squares around it. A figure cut into pieces
// gives its place to them.
class FigurePoints {
  public:
    FigurePoints(const FigureList& figures, double near);

    // The figure's points are looked at from now on; the figure must outlive
    // this.
    void add(const tFigura& f);
    // The figure's points are no longer looked at.
    void remove(const tFigura& f);

    // Whether a point of another figure less than `step` above or below `self`
    // and whose box grown by `near` holds p lies nearer to p than `near`.
    bool close(const TrPkt3D& p, const tFigura& self, double step, double near) const;

  private:
    // Points of one figure that follow one another in a square.
    struct Run {
        std::uint32_t figure, first, count;
        float x0, y0, x1, y1; // the points' box in plan
    };
    struct Square {
        std::vector<Run> runs;
        std::vector<TrPkt3D> points;
    };

    int column(double x) const {
        return std::clamp(static_cast<int>(std::floor((x - x0_) / square_)), 0, columns_ - 1);
    }
    int row(double y) const {
        return std::clamp(static_cast<int>(std::floor((y - y0_) / square_)), 0, rows_ - 1);
    }
    size_t square(double x, double y) const {
        return size_t(column(x)) * size_t(rows_) + size_t(row(y));
    }

    double x0_ = 0, y0_ = 0, square_ = 1;
    int columns_ = 1, rows_ = 1;
    std::vector<Square> squares_;
    std::vector<const tFigura*> figures_; // by number; null once cut into pieces
    std::unordered_map<const tFigura*, std::uint32_t> slot_;
};

} // namespace korvane
