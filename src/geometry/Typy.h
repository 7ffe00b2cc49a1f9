#pragma once

#include "foundation/Records.h"
#include "platform/ZeroedPages.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

// The raster layer types shared by the whole tool-path generation. A layer is a
// grid of columns x rows kept in one block, column after column, so that a
// column is contiguous and `layer[ix][iy]` reaches a cell.
namespace korvane {

// The storage of a layer: fresh blocks that read as zero, whose cells are left
// unwritten when they are value-initialised (zero bytes are Cell{} for every
// layer's cell), so that only the parts of a layer ever written get mapped.
template <class T> struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U> ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateZeroed(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { releaseZeroed(p, n * sizeof(T)); }
    // Only a fresh block is value-initialised (Layer::resize): it is zero already.
    template <class U> void construct(U*) noexcept {}
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    bool operator==(const ZeroedAllocator&) const { return true; }
};

template <class Cell> class Layer {
  public:
    Layer() = default;
    Layer(int columns, int rows) { resize(columns, rows); }

    // Reshapes the layer to columns x rows; every cell becomes Cell{} (zero).
    void resize(int columns, int rows) {
        columns_ = columns > 0 ? columns : 0;
        rows_ = rows > 0 ? rows : 0;
        // Always a fresh block: value-initialising writes nothing.
        cells_ = Storage(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
    }
    // Reshapes the layer to columns x rows keeping the cells both shapes have;
    // new cells are Cell{} (zero).
    void resizeKeeping(int columns, int rows) {
        Layer grown(columns, rows);
        const int keptColumns = std::min(columns_, grown.columns_);
        const int keptRows = std::min(rows_, grown.rows_);
        for (int ix = 0; ix < keptColumns; ++ix)
            std::copy_n((*this)[ix].data(), keptRows, grown[ix].data());
        *this = std::move(grown);
    }
    void fill(const Cell& value) { cells_.assign(cells_.size(), value); }

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    bool empty() const { return cells_.empty(); }

    std::span<Cell> operator[](int ix) {
        return {cells_.data() + static_cast<std::size_t>(ix) * static_cast<std::size_t>(rows_),
                static_cast<std::size_t>(rows_)};
    }
    std::span<const Cell> operator[](int ix) const {
        return {cells_.data() + static_cast<std::size_t>(ix) * static_cast<std::size_t>(rows_),
                static_cast<std::size_t>(rows_)};
    }

    // All cells, column after column.
    std::span<Cell> cells() { return cells_; }
    std::span<const Cell> cells() const { return cells_; }

  private:
    static_assert(std::is_trivially_copyable_v<Cell>);
    using Storage = std::vector<Cell, ZeroedAllocator<Cell>>;
    int columns_ = 0;
    int rows_ = 0;
    Storage cells_;
};

// One cell of a status layer: flag bits and a point.
struct tpix2Drecord {
    std::int32_t stat = 0;
    TrPkt3D p;
};

using tpix2dY = std::span<float>; // one column of a height layer
using tpix2d = Layer<float>;      // a height layer in millimetres, [ix][iy]
using tpix2dYrec = std::span<tpix2Drecord>;
using tpix2dRec = Layer<tpix2Drecord>; // a status layer, [ix][iy]

} // namespace korvane
