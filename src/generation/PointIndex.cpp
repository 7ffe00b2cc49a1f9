// Nearest-point lookups through a grid of 1 mm cells (PointIndex).
#include "generation/PointIndex.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace korvane {

namespace {

constexpr double cell = 1.0;

long long cellOf(double v) {
    return static_cast<long long>(std::floor(v / cell));
}

std::int64_t key(long long x, long long y) {
    return (x << 32) ^ (y & 0xFFFFFFFFLL);
}

double distance2(const TrPkt3D& a, const TrPkt3D& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return dx * dx + dy * dy + dz * dz;
}

} // namespace

void PointIndex::add(int figure, int point, const TrPkt3D& p) {
    const long long cx = cellOf(p.x), cy = cellOf(p.y);
    const std::int64_t k = key(cx, cy);
    cells_[k].push_back({figure, point, p});
    if (empty_) minX_ = maxX_ = cx, minY_ = maxY_ = cy, empty_ = false;
    minX_ = std::min(minX_, cx), maxX_ = std::max(maxX_, cx);
    minY_ = std::min(minY_, cy), maxY_ = std::max(maxY_, cy);
    if (size_t(figure) >= figureCells_.size()) figureCells_.resize(size_t(figure) + 1);
    std::vector<std::int64_t>& cells = figureCells_[size_t(figure)];
    if (cells.empty()) ++liveCount_;
    if (cells.empty() || cells.back() != k) cells.push_back(k);
}

void PointIndex::remove(int figure) {
    if (figure < 0 || size_t(figure) >= figureCells_.size()) return;
    std::vector<std::int64_t>& cells = figureCells_[size_t(figure)];
    if (cells.empty()) return;
    // The figure's points leave their cells, so that lookups read only live
    // points; a cell left empty leaves the grid.
    for (const std::int64_t k : cells) {
        const auto it = cells_.find(k);
        if (it == cells_.end()) continue;
        std::erase_if(it->second, [&](const Entry& e) { return e.figure == figure; });
        if (it->second.empty()) cells_.erase(it);
    }
    cells.clear();
    cells.shrink_to_fit();
    --liveCount_;
}

PointHit PointIndex::nearest(const TrPkt3D& p, double radius) const {
    PointHit best;
    if (liveCount_ == 0) return best;
    const double limit = radius * radius;
    const long long cx = cellOf(p.x), cy = cellOf(p.y);
    const long long reach = std::max({cx - minX_, maxX_ - cx, cy - minY_, maxY_ - cy, 0LL});
    auto visit = [&](long long x, long long y) {
        const auto it = cells_.find(key(x, y));
        if (it == cells_.end()) return;
        for (const Entry& e : it->second) {
            const double d = distance2(p, e.p);
            if (d > limit) continue;
            if (d < best.d2 ||
                (d == best.d2 &&
                 (e.figure < best.figure || (e.figure == best.figure && e.point < best.point))))
                best = {d, e.figure, e.point};
        }
    };
    for (long long r = 0; r <= reach; ++r) {
        // Every cell of ring r lies at least r - 1 cells away.
        const double ringDistance = double(r - 1) * cell;
        if (ringDistance > radius || (best && std::sqrt(best.d2) < ringDistance)) break;
        // The ring's top and bottom rows, then its sides between them, each
        // cut to the occupied box.
        const long long x0 = std::max(cx - r, minX_), x1 = std::min(cx + r, maxX_);
        for (const long long y : {cy - r, cy + r}) {
            if (y >= minY_ && y <= maxY_)
                for (long long x = x0; x <= x1; ++x) visit(x, y);
            if (r == 0) break;
        }
        if (r == 0) continue;
        const long long y0 = std::max(cy - r + 1, minY_), y1 = std::min(cy + r - 1, maxY_);
        for (const long long x : {cx - r, cx + r})
            if (x >= minX_ && x <= maxX_)
                for (long long y = y0; y <= y1; ++y) visit(x, y);
    }
    return best;
}

} // namespace korvane
