#include "generation/TriangleClearance.h"

#include "foundation/State.h"
#include "generation/ClearPath.h"
#include "generation/MotionMap.h"
#include "generation/ToolClearance.h"
#include "generation/TriangleDistance.h"
#include "geometry/Raster.h"
#include "output/DaneWyjsciowe.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace korvane {

TriangleClearance::TriangleClearance(const TFrez& tool, double allowance,
                                     std::span<const TTrojkat> triangles, double cell)
    : contact_(tool, allowance), triangles_(triangles),
      grid_(triangles, contact_.reach() + cell / 2, TriangleGrid::Order::byTop), cell_(cell) {
    planes_.reserve(triangles.size());
    for (const TTrojkat& t : triangles) {
        const double ux = double(t.b.x) - t.a.x, uy = double(t.b.y) - t.a.y,
                     uz = double(t.b.z) - t.a.z;
        const double wx = double(t.c.x) - t.a.x, wy = double(t.c.y) - t.a.y,
                     wz = double(t.c.z) - t.a.z;
        const double nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
        const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        planes_.push_back(length > 0 ? Plane{nx / length, ny / length, nz / length,
                                             -(nx * t.a.x + ny * t.a.y + nz * t.a.z) / length}
                                     : Plane{0, 0, 0, 0});
    }
}

double TriangleClearance::tipAbove(double x, double y, double floor) const {
    // Every lookup of a thread reuses one list.
    thread_local std::vector<std::int32_t> near;
    // A triangle lifts the tip at most to its top less the tool's lowest
    // surface height.
    grid_.near(x, y, floor + contact_.lowest(), near);
    double best = floor;
    for (const std::int32_t i : near)
        best = contact_.tipOver(triangles_[std::size_t(i)], x, y, best);
    return near.empty() ? -infinity : best;
}

void TriangleClearance::nearMove(const TrPkt3D& a, const TrPkt3D& b,
                                 std::vector<std::int32_t>& out) const {
    // The move cut into pieces no longer than a cell: what lies within reach
    // of a piece lies within the grid's reach of its middle.
    thread_local std::vector<std::int32_t> near;
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const int pieces =
        std::max(1, static_cast<int>(std::ceil(std::sqrt(dx * dx + dy * dy) / cell_)));
    const double floor = std::min(a.z, b.z) + contact_.lowest();
    if (pieces == 1) {
        grid_.near(a.x + dx / 2, a.y + dy / 2, floor, out);
        return;
    }
    out.clear();
    for (int i = 0; i < pieces; ++i) {
        const double t = (i + 0.5) / pieces;
        grid_.near(a.x + t * dx, a.y + t * dy, floor, near);
        out.insert(out.end(), near.begin(), near.end());
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

double TriangleClearance::cut(const TrPkt3D& a, const TrPkt3D& b) const {
    thread_local std::vector<std::int32_t> near;
    nearMove(a, b, near);
    double deepest = 0;
    for (const std::int32_t i : near)
        deepest = contact_.conesCut(triangles_[std::size_t(i)], a, b, deepest);
    const ToolSolid* ball = contact_.ball();
    return ball ? ballCut(*ball, near, a, b, deepest) : deepest;
}

double TriangleClearance::ballCut(const ToolSolid& ball, std::span<const std::int32_t> near,
                                  const TrPkt3D& a, const TrPkt3D& b, double known) const {
    // The ball swept along the move is a capsule: it clears a triangle when
    // its axis, the segment of the ball's centres, lies the ball's radius
    // from it. How far it must be lifted is found by halving.
    const double lowX = std::min(a.x, b.x) - ball.radius, highX = std::max(a.x, b.x) + ball.radius;
    const double lowY = std::min(a.y, b.y) - ball.radius, highY = std::max(a.y, b.y) + ball.radius;
    // A hair beyond the radius, for the rounding of the planes.
    const double away = ball.radius + 1e-9;
    auto clearAt = [&](double lift) {
        const Point3 p{a.x, a.y, a.z + ball.base + lift}, q{b.x, b.y, b.z + ball.base + lift};
        const double lowZ = std::min(p.z, q.z) - ball.radius,
                     highZ = std::max(p.z, q.z) + ball.radius;
        for (const std::int32_t i : near) {
            const TTrojkat& t = triangles_[std::size_t(i)];
            // A triangle outside the capsule's box does not meet it.
            if (std::max({t.a.z, t.b.z, t.c.z}) <= lowZ ||
                std::min({t.a.z, t.b.z, t.c.z}) >= highZ ||
                std::max({t.a.x, t.b.x, t.c.x}) <= lowX ||
                std::min({t.a.x, t.b.x, t.c.x}) >= highX ||
                std::max({t.a.y, t.b.y, t.c.y}) <= lowY || std::min({t.a.y, t.b.y, t.c.y}) >= highY)
                continue;
            // Nor one whose plane the capsule stays off on one side.
            const Plane& n = planes_[std::size_t(i)];
            const double fromP = n.x * p.x + n.y * p.y + n.z * p.z + n.d,
                         fromQ = n.x * q.x + n.y * q.y + n.z * q.z + n.d;
            if ((fromP >= away && fromQ >= away) || (fromP <= -away && fromQ <= -away)) continue;
            if (segmentDistance(t, p, q) < ball.radius) return false;
        }
        return true;
    };
    const double precision = tolerance / 4;
    if (clearAt(known + precision)) return known;
    double low = known + precision, high = low + tolerance;
    while (!clearAt(high)) {
        low = high;
        high = known + 2 * (high - known);
    }
    while (high - low > precision) {
        const double middle = (low + high) / 2;
        (clearAt(middle) ? high : low) = middle;
    }
    return high;
}

TrPkt3D TriangleClearance::raised(TrPkt3D p) const {
    p.x = static_cast<float>(onOutputGrid(p.x));
    p.y = static_cast<float>(onOutputGrid(p.y));
    const double tip = tipAbove(p.x, p.y, p.z);
    double z = onOutputGrid(p.z);
    if (z < tip) z = std::ceil(tip / outputStep - 1e-6) * outputStep;
    p.z = static_cast<float>(z);
    return p;
}

namespace {

// The exact clearance, the points kept above a floor too.
struct Floored {
    const TriangleClearance& exact;
    const ToolClearance* raster; // with Floor::raster
    bool motionMap;              // with Floor::motionMap

    TrPkt3D raised(TrPkt3D p) const {
        if (raster) p = raster->raised(p);
        p = exact.raised(p);
        const double map = motionMap ? motionHeightInterpolated(p) : p.z;
        if (p.z < map) p.z = static_cast<float>(std::ceil(map / outputStep - 1e-6) * outputStep);
        return p;
    }
    double cut(const TrPkt3D& a, const TrPkt3D& b) const {
        const double c = exact.cut(a, b);
        return raster ? std::max(c, raster->cut(a, b)) : c;
    }
};

} // namespace

void keepClearOfTriangles(const TFrez& tool, double allowance, Floor floor, int workers) {
    const TriangleClearance clearance(tool, allowance, modelTriangles, pixelSize);
    std::optional<ToolClearance> raster;
    if (floor == Floor::raster) raster.emplace(tool, offsetHeights, pixelSize);
    const Floored bound{clearance, raster ? &*raster : nullptr, floor == Floor::motionMap};
    clearFigures(PathClearing(bound, pixelSize / 32, TriangleClearance::tolerance), figureList,
                 workers);
}

} // namespace korvane
