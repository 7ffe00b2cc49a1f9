#include "generation/PointCorrection.h"

#include "generation/TriangleDistance.h"
#include "geometry/Frez.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

// A ball centre within this of its distance from the surface is where it belongs.
constexpr double touchTolerance = 1e-6;
// Rounds of pushing a ball out of the nearest triangle before it is lifted.
constexpr int pushRounds = 4;
// Triangles up to this share of the ball radius below the ball's lowest reach
// still draw a hovering ball down to the surface.
constexpr double drawDownShare = 0.1;

// How far a point may move before the triangles near it are looked up again:
// a few raster cells, the most the raster can have been wrong by, at least 1 mm.
constexpr double minimumSlack = 1.0;
constexpr double slackCells = 4;

struct Nearest {
    double distance = std::numeric_limits<double>::infinity();
    Point3 point;
};

double square(double v) {
    return v * v;
}

// Square of the plan distance from (x, y) to the plan box of t.
double planBoxDistance2(const TTrojkat& t, double x, double y) {
    const double minX = std::min({t.a.x, t.b.x, t.c.x}), maxX = std::max({t.a.x, t.b.x, t.c.x});
    const double minY = std::min({t.a.y, t.b.y, t.c.y}), maxY = std::max({t.a.y, t.b.y, t.c.y});
    const double dx = x < minX ? minX - x : x > maxX ? x - maxX : 0;
    const double dy = y < minY ? minY - y : y > maxY ? y - maxY : 0;
    return dx * dx + dy * dy;
}

// The nearest surface point to c among the triangles `wanted` accepts; the
// first of equal distances wins.
template <class Wanted>
Nearest nearestPoint(std::span<const TTrojkat> triangles, std::span<const std::int32_t> near,
                     const Point3& c, Wanted wanted) {
    Nearest best;
    for (const std::int32_t i : near) {
        const TTrojkat& t = triangles[size_t(i)];
        if (!wanted(t)) continue;
        if (t.c.z < c.z - best.distance || t.a.z > c.z + best.distance) continue;
        if (planBoxDistance2(t, c.x, c.y) >= square(best.distance)) continue;
        const Point3 q = nearestOnTriangle(t, c);
        const double d = std::sqrt(square(c.x - q.x) + square(c.y - q.y) + square(c.z - q.z));
        if (d < best.distance) best = {d, q};
    }
    return best;
}

// The centre moved along the line from `from` through it to `distance` from
// `from`; straight up when it lies on `from`.
Point3 placeAt(const Nearest& from, const Point3& c, double distance) {
    if (from.distance == 0) return {c.x, c.y, from.point.z + distance};
    const double k = distance / from.distance;
    return {from.point.x + k * (c.x - from.point.x), from.point.y + k * (c.y - from.point.y),
            from.point.z + k * (c.z - from.point.z)};
}

TrPkt3D tipOf(const Point3& c, double radius) {
    return {static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z - radius)};
}

// One unit in the last place of the largest coordinate of the point as stored:
// a centre pushed out by this much stays out after rounding to single.
double storageMargin(const Point3& c) {
    const float largest =
        static_cast<float>(std::max({std::abs(c.x), std::abs(c.y), std::abs(c.z)}));
    return 2.0 * (std::nextafter(largest, std::numeric_limits<float>::infinity()) - largest);
}

} // namespace

PointCorrector::PointCorrector(const TFrez& frez, double allowance, double maxZ, double levelStep,
                               std::span<const TTrojkat> triangles)
    : frez_(frez), triangles_(triangles), allowance_(allowance), maxZ_(maxZ),
      levelStep_(levelStep) {
    const TFrezDane& t = frez.Parametry;
    radius_ = t.d1 / 2;
    ballReach_ = radius_ + allowance;
    reach_ = std::max({t.d1, t.d2, t.d3}) / 2 + allowance;
    slack_ = std::max(minimumSlack, slackCells * levelStep);
    firstLevel_ = t.d1 / 2;
    lastLevel_ = levelStep > 0 && t.hc >= firstLevel_
                     ? static_cast<int>(std::floor((t.hc - firstLevel_) / levelStep + 1e-9))
                     : -1;
}

TrPkt3D PointCorrector::correctAgainst(TrPkt3D p, std::span<const std::int32_t> near) const {
    const bool ball = frez_.Parametry.typ == toolBallNose;
    if (ball) p = centre(p, near);
    p = flank(p, near);
    if (ball) p = clearance(p, near);
    return p;
}

TrPkt3D PointCorrector::centre(TrPkt3D p, std::span<const std::int32_t> near) const {
    const Point3 c{p.x, p.y, p.z + radius_};
    // Triangles that reach below the centre and up to near the ball's lowest reach.
    const double low = c.z - ballReach_ - drawDownShare * radius_;
    const Nearest f = nearestPoint(triangles_, near, c,
                                   [&](const TTrojkat& t) { return t.a.z < c.z && t.c.z > low; });
    if (!std::isfinite(f.distance) || std::abs(f.distance - ballReach_) <= touchTolerance) return p;
    return tipOf(placeAt(f, c, ballReach_), radius_);
}

TrPkt3D PointCorrector::flank(TrPkt3D p, std::span<const std::int32_t> near) const {
    struct Cut {
        double depth = 0, radius = 0;
        int level = 0;
        std::int32_t triangle = -1;
        SectionPoint at;
    } best;
    const double base = double(p.z) + firstLevel_;
    for (const std::int32_t i : near) {
        const TTrojkat& t = triangles_[size_t(i)];
        // Only the levels strictly inside the triangle's height span cut it.
        const int first = std::max(0, static_cast<int>(std::floor((t.a.z - base) / levelStep_)));
        const int last =
            std::min(lastLevel_, static_cast<int>(std::ceil((t.c.z - base) / levelStep_)));
        for (int k = first; k <= last; ++k) {
            const double h = firstLevel_ + k * levelStep_, z = double(p.z) + h;
            if (z >= maxZ_) break;
            const auto s = nearestSectionPoint(t, p.x, p.y, z);
            if (!s) continue;
            const double r = frez_.PromienNaWysokosci(static_cast<float>(h)) + allowance_;
            const double depth = r - s->distance;
            if (depth <= 0) continue;
            // The deepest cut; of equal ones the lowest level, then the first triangle.
            if (depth > best.depth ||
                (depth == best.depth && (k < best.level || (k == best.level && i < best.triangle))))
                best = {depth, r, k, i, *s};
        }
    }
    if (best.triangle < 0) return p;
    double dx = p.x - best.at.x, dy = p.y - best.at.y, length = best.at.distance;
    if (length == 0) {
        // The section runs through the axis: out across it, downhill of the
        // triangle's plane (a vertical one: along its normal).
        const TTrojkat& t = triangles_[size_t(best.triangle)];
        const double ux = double(t.b.x) - t.a.x, uy = double(t.b.y) - t.a.y,
                     uz = double(t.b.z) - t.a.z;
        const double vx = double(t.c.x) - t.a.x, vy = double(t.c.y) - t.a.y,
                     vz = double(t.c.z) - t.a.z;
        const double nz = ux * vy - uy * vx, sign = nz < 0 ? -1.0 : 1.0;
        dx = sign * (uy * vz - uz * vy);
        dy = sign * (uz * vx - ux * vz);
        length = std::hypot(dx, dy);
        if (length == 0) return p;
    }
    const double k = best.radius / length;
    p.x = static_cast<float>(best.at.x + k * dx);
    p.y = static_cast<float>(best.at.y + k * dy);
    return p;
}

TrPkt3D PointCorrector::clearance(TrPkt3D p, std::span<const std::int32_t> near) const {
    auto all = [](const TTrojkat&) { return true; };
    for (int round = 0; round < pushRounds; ++round) {
        const Point3 c{p.x, p.y, p.z + radius_};
        const Nearest f = nearestPoint(triangles_, near, c, all);
        if (f.distance >= ballReach_ - touchTolerance) return p;
        p = tipOf(placeAt(f, c, ballReach_ + storageMargin(c)), radius_);
    }
    const Point3 c{p.x, p.y, p.z + radius_};
    if (nearestPoint(triangles_, near, c, all).distance >= ballReach_ - touchTolerance) return p;
    // Pushing does not settle (a narrow valley): lift the ball until it touches.
    double top = c.z;
    for (const std::int32_t i : near)
        if (const auto h = ballContactHeight(triangles_[size_t(i)], c.x, c.y, ballReach_))
            top = std::max(top, *h);
    p.z = static_cast<float>(top - radius_ + storageMargin({c.x, c.y, top}));
    return p;
}

} // namespace korvane
