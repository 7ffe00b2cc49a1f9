#include "generation/RawDoPixWatek.h"

#include "app/Rounding.h"
#include "app/State.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace korvane {

namespace {

double distance(const TrPkt3D& p, const TrPkt3D& q) {
    const double dx = static_cast<double>(q.x) - p.x;
    const double dy = static_cast<double>(q.y) - p.y;
    const double dz = static_cast<double>(q.z) - p.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

TrPkt3D along(const TrPkt3D& from, const TrPkt3D& to, double t) {
    return {static_cast<float>(from.x + t * (static_cast<double>(to.x) - from.x)),
            static_cast<float>(from.y + t * (static_cast<double>(to.y) - from.y)),
            static_cast<float>(from.z + t * (static_cast<double>(to.z) - from.z))};
}

} // namespace

void rasteriseSegment(tpix2d& layer, const TrPkt3D& p, const TrPkt3D& q) {
    const double length = distance(p, q) / pixelSize;
    if (!std::isfinite(length)) return; // a corrupt vertex
    auto m = roundHalfEven(length) + 1;
    if (settings.printer3D) m *= 2;
    const double lastColumn = layer.columns() - 0.5, lastRow = layer.rows() - 0.5;
    const float dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z;
    for (std::int64_t j = 0; j <= m; ++j) {
        const float s = static_cast<float>(j) / static_cast<float>(m);
        const float x = p.x + s * dx, y = p.y + s * dy, z = p.z + s * dz;
        const double u = x / pixelSize, v = y / pixelSize;
        // Also drops samples of a triangle with coordinates that are not numbers.
        if (!(u >= -0.5 && u <= lastColumn && v >= -0.5 && v <= lastRow)) continue;
        const auto ix = roundHalfEven(u), iy = roundHalfEven(v);
        if (ix < 0 || iy < 0 || ix >= layer.columns() || iy >= layer.rows()) continue;
        float& cell = layer[static_cast<int>(ix)][static_cast<int>(iy)];
        if (z > cell) cell = z;
    }
}

void rasteriseTriangle(tpix2d& layer, TrPkt3D a, TrPkt3D b, TrPkt3D c) {
    if (a.z > b.z) std::swap(a, b);
    if (b.z > c.z) std::swap(b, c);
    if (a.z > b.z) std::swap(a, b);
    const double steps = std::max(distance(a, b) / pixelSize + 1, distance(a, c) / pixelSize + 1);
    if (!std::isfinite(steps)) return; // a corrupt vertex
    const auto n = roundHalfEven(steps) * 2;
    for (std::int64_t k = 0; k <= n; ++k) {
        const double t = static_cast<double>(k) / static_cast<double>(n);
        rasteriseSegment(layer, along(a, c, t), along(a, b, t));
    }
}

} // namespace korvane
