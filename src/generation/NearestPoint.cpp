#include "generation/NearestPoint.h"

#include "geometry/Figury.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

NearestPoint::NearestPoint(const std::vector<TrPkt3D>& points, double square) : points_(points) {
    if (points.empty()) {
        first_.assign(2, 0);
        return;
    }
    double x1 = points.front().x, y1 = points.front().y;
    x0_ = x1, y0_ = y1;
    for (const TrPkt3D& p : points) {
        x0_ = std::min<double>(x0_, p.x), x1 = std::max<double>(x1, p.x);
        y0_ = std::min<double>(y0_, p.y), y1 = std::max<double>(y1, p.y);
    }
    // No more squares than four a point.
    const double n = static_cast<double>(points.size());
    const double w = x1 - x0_, h = y1 - y0_;
    square_ = std::max({square, 1e-6, std::sqrt(w * h / (4 * n)), std::max(w, h) / (4 * n)});
    columns_ = static_cast<long>(w / square_) + 1;
    rows_ = static_cast<long>(h / square_) + 1;
    // Counting sort by square keeps the indices ascending within each.
    std::vector<std::size_t> squareOf(points.size());
    first_.assign(static_cast<std::size_t>(columns_ * rows_) + 1, 0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const long cx = std::min(columns_ - 1, static_cast<long>((points[i].x - x0_) / square_));
        const long cy = std::min(rows_ - 1, static_cast<long>((points[i].y - y0_) / square_));
        squareOf[i] = static_cast<std::size_t>(cx * rows_ + cy);
        ++first_[squareOf[i] + 1];
    }
    for (std::size_t s = 1; s < first_.size(); ++s) first_[s] += first_[s - 1];
    order_.resize(points.size());
    std::vector<std::size_t> next(first_.begin(), first_.end() - 1);
    for (std::size_t i = 0; i < points.size(); ++i) order_[next[squareOf[i]]++] = i;
}

NearestPoint::Found NearestPoint::nearest(const TrPkt3D& p, std::size_t count) const {
    Found best{0, std::numeric_limits<double>::infinity()};
    if (points_.empty() || count == 0) return best;
    const long cx = static_cast<long>(std::floor((p.x - x0_) / square_));
    const long cy = static_cast<long>(std::floor((p.y - y0_) / square_));
    auto visit = [&](long x, long y) {
        const std::size_t s = static_cast<std::size_t>(x * rows_ + y);
        for (std::size_t e = first_[s]; e < first_[s + 1]; ++e) {
            const std::size_t i = order_[e];
            if (i >= count) break;
            const double d = distance3(p, points_[i]);
            if (d < best.distance || (d == best.distance && i < best.index)) best = {i, d};
        }
    };
    // From the first ring that meets the grid to the last one that does.
    const long first = std::max({0L, -cx, cx - (columns_ - 1), -cy, cy - (rows_ - 1)});
    const long last = std::max({cx, columns_ - 1 - cx, cy, rows_ - 1 - cy});
    for (long k = first; k <= last; ++k) {
        // Every square of ring k lies at least k - 1 squares away in plan; the
        // slack covers the rounding of the distances.
        if (static_cast<double>(k - 1) * square_ > best.distance + 1e-9) break;
        const long x0 = std::max(cx - k, 0L), x1 = std::min(cx + k, columns_ - 1);
        const long y0 = std::max(cy - k + 1, 0L), y1 = std::min(cy + k - 1, rows_ - 1);
        for (const long y : {cy - k, cy + k}) {
            if (y < 0 || y >= rows_) continue;
            for (long x = x0; x <= x1; ++x) visit(x, y);
            if (k == 0) break;
        }
        for (const long x : {cx - k, cx + k}) {
            if (x < 0 || x >= columns_) continue;
            for (long y = y0; y <= y1; ++y) visit(x, y);
            if (k == 0) break;
        }
    }
    return best;
}

} // namespace korvane
