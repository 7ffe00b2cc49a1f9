#include "generation/TriangleGrid.h"

#include <algorithm>
#include <cmath>

namespace korvane {

GrownBox grownBox(const TTrojkat& t, double reach) {
    return {double(std::min({t.a.x, t.b.x, t.c.x})) - reach,
            double(std::min({t.a.y, t.b.y, t.c.y})) - reach,
            double(std::max({t.a.x, t.b.x, t.c.x})) + reach,
            double(std::max({t.a.y, t.b.y, t.c.y})) + reach};
}

namespace {

// Cells a box side spans: the finer, the fewer triangles a cell lists beyond
// those that hold a given point. The grid stays under these many cells and
// entries.
constexpr double cellsPerBoxSide = 4;
constexpr double maxCells = 4e6;
constexpr double maxEntries = 4e6;

double square(double v) {
    return v * v;
}

} // namespace

TriangleGrid::TriangleGrid(std::span<const TTrojkat> triangles, double reach, Order order)
    : reach_(reach), order_(order) {
    if (triangles.empty()) return;
    std::vector<GrownBox> boxes;
    boxes.reserve(triangles.size());
    for (const TTrojkat& t : triangles) boxes.push_back(grownBox(t, reach));
    double minX = boxes[0].minX, minY = boxes[0].minY, maxX = boxes[0].maxX, maxY = boxes[0].maxY,
           side = 0;
    for (const GrownBox& b : boxes) {
        minX = std::min(minX, b.minX);
        minY = std::min(minY, b.minY);
        maxX = std::max(maxX, b.maxX);
        maxY = std::max(maxY, b.maxY);
        side += std::max(b.maxX - b.minX, b.maxY - b.minY);
    }
    originX_ = minX;
    originY_ = minY;
    const double width = std::max(maxX - minX, 1e-6), height = std::max(maxY - minY, 1e-6);
    const double meanSide = side / double(boxes.size());
    cellSize_ = std::max(meanSide / cellsPerBoxSide, std::sqrt(width * height / maxCells));
    while (double(boxes.size()) * square(meanSide / cellSize_ + 1) > maxEntries) cellSize_ *= 1.5;
    columns_ = static_cast<int>(width / cellSize_) + 1;
    rows_ = static_cast<int>(height / cellSize_) + 1;

    // Two passes: count the entries of every cell, then fill them in triangle
    // order, so that every cell lists its triangles ascending.
    first_.assign(size_t(columns_) * size_t(rows_) + 1, 0);
    auto forCells = [&](const GrownBox& b, auto&& visit) {
        const int c0 = column(b.minX), c1 = column(b.maxX), r0 = row(b.minY), r1 = row(b.maxY);
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r) visit(size_t(c) * size_t(rows_) + size_t(r));
    };
    for (const GrownBox& b : boxes) forCells(b, [&](size_t cell) { ++first_[cell + 1]; });
    for (size_t k = 1; k < first_.size(); ++k) first_[k] += first_[k - 1];
    entries_.reset(new Entry[size_t(first_.back())]);
    std::vector<std::int32_t> next(first_.begin(), first_.end() - 1);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const TTrojkat& t = triangles[i];
        const Entry e{std::int32_t(i),
                      std::min({t.a.x, t.b.x, t.c.x}),
                      std::min({t.a.y, t.b.y, t.c.y}),
                      std::max({t.a.x, t.b.x, t.c.x}),
                      std::max({t.a.y, t.b.y, t.c.y}),
                      std::max({t.a.z, t.b.z, t.c.z})};
        forCells(boxes[i], [&](size_t cell) { entries_[size_t(next[cell]++)] = e; });
    }
    if (order == Order::byTop)
        for (size_t cell = 0; cell + 1 < first_.size(); ++cell)
            std::stable_sort(entries_.get() + first_[cell], entries_.get() + first_[cell + 1],
                             [](const Entry& a, const Entry& b) { return a.maxZ > b.maxZ; });
}

int TriangleGrid::column(double x) const {
    const double c = std::floor((x - originX_) / cellSize_);
    return static_cast<int>(std::clamp(c, 0.0, double(columns_ - 1)));
}

int TriangleGrid::row(double y) const {
    const double r = std::floor((y - originY_) / cellSize_);
    return static_cast<int>(std::clamp(r, 0.0, double(rows_ - 1)));
}

void TriangleGrid::near(double x, double y, double above, std::vector<std::int32_t>& out) const {
    out.clear();
    if (first_.empty() || !(std::isfinite(x) && std::isfinite(y))) return;
    const size_t cell = size_t(column(x)) * size_t(rows_) + size_t(row(y));
    const Entry* e = entries_.get() + first_[cell];
    const Entry* end = entries_.get() + first_[cell + 1];
    // The same arithmetic as grownBox and holds.
    auto holdsPoint = [&](const Entry& t) {
        return x >= double(t.minX) - reach_ && x <= double(t.maxX) + reach_ &&
               y >= double(t.minY) - reach_ && y <= double(t.maxY) + reach_;
    };
    if (order_ == Order::byTop) {
        for (; e != end && double(e->maxZ) > above; ++e)
            if (holdsPoint(*e)) out.push_back(e->triangle);
        std::sort(out.begin(), out.end());
        return;
    }
    for (; e != end; ++e)
        if (double(e->maxZ) > above && holdsPoint(*e)) out.push_back(e->triangle);
}

} // namespace korvane
