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
// How far, in raster cells, a point may move before the triangles near it are
// looked up again: about what the raster can have been wrong by.
constexpr double slackCells = 2;
constexpr double maxLevels = 1e6;

// Taken off the distance from a triangle's plane so that, whatever the
// rounding, it stays below the exact distance from the triangle.
constexpr double planeMargin = 1e-9;

double square(double v) {
    return v * v;
}

// How far v lies outside [lo, hi].
double outside(double v, float lo, float hi) {
    return v < lo ? lo - v : v > hi ? v - hi : 0;
}

TrPkt3D tipOf(const Point3& c, double radius) {
    return {static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z - radius)};
}

// One unit in the last place of the largest coordinate of the point as stored,
// twice: a centre pushed out by this much stays out after rounding to single.
double storageMargin(const Point3& c) {
    const float largest =
        static_cast<float>(std::max({std::abs(c.x), std::abs(c.y), std::abs(c.z)}));
    return 2.0 * (std::nextafter(largest, std::numeric_limits<float>::infinity()) - largest);
}

} // namespace

struct PointCorrector::Nearest {
    double distance = std::numeric_limits<double>::infinity();
    Point3 point;
    bool found() const { return std::isfinite(distance); }
};

namespace {

// The centre moved along the line from the surface point through it to
// `distance` from that point; straight up when it lies on the point.
template <class Nearest> Point3 placeAt(const Nearest& from, const Point3& c, double distance) {
    if (from.distance == 0) return {c.x, c.y, from.point.z + distance};
    const double k = distance / from.distance;
    return {from.point.x + k * (c.x - from.point.x), from.point.y + k * (c.y - from.point.y),
            from.point.z + k * (c.z - from.point.z)};
}

} // namespace

PointCorrector::PointCorrector(const TFrez& frez, double allowance, double maxZ, double levelStep,
                               std::span<const TTrojkat> triangles)
    : frez_(frez), contact_(frez, allowance), triangles_(triangles), allowance_(allowance),
      maxZ_(maxZ), levelStep_(levelStep) {
    const TFrezDane& t = frez.Parametry;
    radius_ = t.d1 / 2;
    ballReach_ = radius_ + allowance;
    reach_ = std::max({t.d1, t.d2, t.d3}) / 2 + allowance;
    slack_ = slackCells * levelStep;
    firstLevel_ = t.d1 / 2;
    // A tool file's heights are not bounded: the levels stop at a number no
    // model needs.
    lastLevel_ = levelStep > 0 && t.hc >= firstLevel_
                     ? static_cast<int>(
                           std::min(std::floor((t.hc - firstLevel_) / levelStep + 1e-9), maxLevels))
                     : -1;
    for (int k = 0; k <= lastLevel_; ++k) {
        const double h = firstLevel_ + k * levelStep_;
        levelRadius_.push_back(frez.PromienNaWysokosci(static_cast<float>(h)) + allowance);
        widestUpTo_.push_back(std::max(levelRadius_.back(), k ? widestUpTo_.back() : 0.0));
    }
    planes_.reserve(triangles.size());
    for (const TTrojkat& v : triangles) {
        const double ux = double(v.b.x) - v.a.x, uy = double(v.b.y) - v.a.y,
                     uz = double(v.b.z) - v.a.z;
        const double wx = double(v.c.x) - v.a.x, wy = double(v.c.y) - v.a.y,
                     wz = double(v.c.z) - v.a.z;
        const double nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
        const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        planes_.push_back(length > 0 ? Plane{nx / length, ny / length, nz / length,
                                             -(nx * v.a.x + ny * v.a.y + nz * v.a.z) / length}
                                     : Plane{0, 0, 0, 0});
    }
    bounds_.reserve(triangles.size());
    for (const TTrojkat& v : triangles)
        bounds_.push_back({std::min({v.a.x, v.b.x, v.c.x}), std::min({v.a.y, v.b.y, v.c.y}),
                           std::max({v.a.x, v.b.x, v.c.x}), std::max({v.a.y, v.b.y, v.c.y}),
                           std::min({v.a.z, v.b.z, v.c.z}), std::max({v.a.z, v.b.z, v.c.z})});
}

bool PointCorrector::ball() const {
    return frez_.Parametry.typ == toolBallNose;
}

TrPkt3D PointCorrector::correctAgainst(TrPkt3D p, std::span<const std::int32_t> ballNear,
                                       std::span<const std::int32_t> flankNear) const {
    if (ball()) p = centre(p, ballNear);
    p = flank(p, flankNear);
    if (ball()) p = clearance(p, ballNear);
    return lifted(p, flankNear);
}

TrPkt3D PointCorrector::lifted(TrPkt3D p, std::span<const std::int32_t> near) const {
    double tip = -std::numeric_limits<double>::infinity();
    for (const std::int32_t i : near) tip = contact_.tipOver(triangles_[size_t(i)], p.x, p.y, tip);
    if (double(p.z) >= tip) return p;
    p.z = static_cast<float>(tip);
    if (double(p.z) < tip) p.z = std::nextafter(p.z, std::numeric_limits<float>::infinity());
    return p;
}

template <class Wanted>
PointCorrector::Nearest PointCorrector::nearest(std::span<const std::int32_t> near, double cx,
                                                double cy, double cz, double bound,
                                                Wanted wanted) const {
    const Point3 c{cx, cy, cz};
    auto boxDistance2 = [&](const Bounds& b) {
        return square(outside(cx, b.minX, b.maxX)) + square(outside(cy, b.minY, b.maxY)) +
               square(outside(cz, b.minZ, b.maxZ));
    };
    auto exact2 = [&](std::int32_t i, Point3& q) {
        q = nearestOnTriangle(triangles_[size_t(i)], c);
        return square(cx - q.x) + square(cy - q.y) + square(cz - q.z);
    };
    Nearest best;
    double limit2 = square(bound);
    Point3 q;
    for (const std::int32_t i : near) {
        const Bounds& b = bounds_[size_t(i)];
        if (!wanted(b) || boxDistance2(b) > limit2) continue;
        const Plane& n = planes_[size_t(i)];
        const double fromPlane = std::abs(n.nx * cx + n.ny * cy + n.nz * cz + n.d) - planeMargin;
        if (fromPlane > 0 && fromPlane * fromPlane > limit2) continue;
        // The triangles come in list order: of equal distances the first wins.
        if (const double d2 = exact2(i, q); d2 < limit2) {
            limit2 = d2;
            best = {std::sqrt(d2), q};
        }
    }
    return best;
}

TrPkt3D PointCorrector::centre(TrPkt3D p, std::span<const std::int32_t> near) const {
    const double cz = double(p.z) + radius_;
    // Triangles that reach below the centre and up to near the ball's lowest reach.
    const double low = cz - ballReach_ - drawDownShare * radius_;
    const Nearest f = nearest(near, p.x, p.y, cz, ballReach_ + slack_,
                              [&](const Bounds& b) { return b.minZ < cz && b.maxZ > low; });
    if (!f.found() || std::abs(f.distance - ballReach_) <= touchTolerance) return p;
    return tipOf(placeAt(f, {p.x, p.y, cz}, ballReach_), radius_);
}

TrPkt3D PointCorrector::flank(TrPkt3D p, std::span<const std::int32_t> near) const {
    if (lastLevel_ < 0) return p;
    struct Cut {
        double depth = 0, radius = 0;
        int level = 0;
        std::int32_t triangle = -1;
        SectionPoint at;
    } best;
    const double base = flankBase(p);
    // The level of height v above `base`, rounded by `round`, kept within -1
    // and one beyond the last level.
    auto level = [&](double v, auto round) {
        return static_cast<int>(
            std::clamp(round((v - base) / levelStep_), -1.0, double(lastLevel_ + 1)));
    };
    // Levels at or above MaxZ are not examined.
    const int top = std::min(lastLevel_, level(maxZ_, [](double v) { return std::ceil(v); }) - 1);
    for (const std::int32_t i : near) {
        const Bounds& b = bounds_[size_t(i)];
        if (b.maxZ <= base) continue;
        // Only the levels strictly inside the triangle's height span cut it.
        const int first = std::max(0, level(b.minZ, [](double v) { return std::floor(v); }));
        const int last = std::min(top, level(b.maxZ, [](double v) { return std::ceil(v); }));
        if (first > last) continue;
        const double plan2 =
            square(outside(p.x, b.minX, b.maxX)) + square(outside(p.y, b.minY, b.maxY));
        if (plan2 >= square(widestUpTo_[size_t(last)])) continue;
        for (int k = first; k <= last; ++k) {
            const double r = levelRadius_[size_t(k)];
            if (plan2 >= r * r) continue;
            const double z = double(p.z) + (firstLevel_ + k * levelStep_);
            if (z >= maxZ_) break;
            const auto s = nearestSectionPoint(triangles_[size_t(i)], p.x, p.y, z);
            if (!s) continue;
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
    auto all = [](const Bounds&) { return true; };
    const double within = ballReach_ - touchTolerance;
    for (int round = 0; round < pushRounds; ++round) {
        const Point3 c{p.x, p.y, double(p.z) + radius_};
        const Nearest f = nearest(near, c.x, c.y, c.z, within, all);
        if (!f.found()) return p;
        p = tipOf(placeAt(f, c, ballReach_ + storageMargin(c)), radius_);
    }
    const Point3 c{p.x, p.y, double(p.z) + radius_};
    if (!nearest(near, c.x, c.y, c.z, within, all).found()) return p;
    // Pushing does not settle (a narrow valley): lift the ball until it touches.
    double top = c.z;
    for (const std::int32_t i : near)
        if (const auto h = ballContactHeight(triangles_[size_t(i)], c.x, c.y, ballReach_))
            top = std::max(top, *h);
    p.z = static_cast<float>(top - radius_ + storageMargin({c.x, c.y, top}));
    return p;
}

} // namespace korvane
