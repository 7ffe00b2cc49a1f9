#pragma once

#include "foundation/Records.h"
#include "generation/ToolContact.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

// The correction of one tool-path point against the model triangles near it,
// so that the tool keeps the allowance from the true surface.
namespace korvane {

class TFrez;

class PointCorrector {
  public:
    // `levelStep`: the height step of the flank levels (the raster's cell size);
    // flank levels at or above `maxZ` are not examined.
    PointCorrector(const TFrez& frez, double allowance, double maxZ, double levelStep,
                   std::span<const TTrojkat> triangles);

    // The plan distances within which a triangle can touch the tool with its
    // allowance: the widest tool radius, and for a ball end the ball radius,
    // plus the allowance, and beyond that the slack: the way a point may move
    // (two raster cells) before its neighbourhood is looked up again.
    double reach() const { return reach_ + slack_; }
    double ballReach() const { return ballReach_ + slack_; }
    bool ball() const;

    // Which triangles a lookup asks for: those whose plan box grown by
    // ballReach() holds the point (for a ball end), or those whose plan box
    // grown by reach() holds it and whose top lies above a height.
    enum class Lookup { ball, flank };
    struct NearTriangles {
        std::vector<std::int32_t> ball, flank;
    };

    // The point corrected against the triangles `near`(lookup, x, y, above,
    // out) puts into `out`, by their positions in the list, ascending. A point
    // that moved farther than the slack is corrected again from where it went,
    // with the triangles near there.
    template <class Near> TrPkt3D correct(TrPkt3D p, Near&& near, NearTriangles& triangles) const {
        const double below = -std::numeric_limits<double>::infinity();
        for (int pass = 0; pass < maxPasses; ++pass) {
            TrPkt3D q = p;
            if (ball()) {
                near(Lookup::ball, double(p.x), double(p.y), below, triangles.ball);
                q = centre(q, triangles.ball);
            }
            near(Lookup::flank, double(q.x), double(q.y), flankBase(q), triangles.flank);
            q = flank(q, triangles.flank);
            if (ball()) q = clearance(q, triangles.ball);
            const double dx = double(q.x) - p.x, dy = double(q.y) - p.y;
            const bool far = dx * dx + dy * dy > slack_ * slack_;
            p = q;
            if (!far) break;
        }
        near(Lookup::flank, double(p.x), double(p.y), double(p.z) + contact_.lowest(),
             triangles.flank);
        return lifted(p, triangles.flank);
    }

    // The point corrected against the triangles at positions `ballNear` and
    // `flankNear`. A ball end is moved along the line from the nearest surface
    // point (within the slack beyond its distance) so that its centre lies the
    // ball radius plus the allowance from it; every tool is then pushed
    // sideways out of the deepest cut of its flank; a ball end still closer to
    // a triangle than that distance is pushed out again and, as the last
    // resort, lifted to where it touches. Last, every tool is lifted to
    // where it touches no triangle of `flankNear`: pushed out along the
    // nearest points, the ball misses contacts at its very rim (a vertex or
    // the top edge of a wall just inside it).
    TrPkt3D correctAgainst(TrPkt3D p, std::span<const std::int32_t> ballNear,
                           std::span<const std::int32_t> flankNear) const;

    // The height of the lowest flank level of a tool with its tip at p: only
    // triangles whose top lies above it can meet the flank.
    double flankBase(const TrPkt3D& p) const { return double(p.z) + firstLevel_; }

  private:
    static constexpr int maxPasses = 3;

    // A triangle's box, for the quick tests that spare the exact ones.
    struct Bounds {
        float minX, minY, maxX, maxY, minZ, maxZ;
    };
    struct Nearest;
    // The nearest surface point to c of the triangles `wanted` accepts, among
    // those nearer than `bound`.
    template <class Wanted>
    Nearest nearest(std::span<const std::int32_t> near, double cx, double cy, double cz,
                    double bound, Wanted wanted) const;

    TrPkt3D centre(TrPkt3D p, std::span<const std::int32_t> near) const;
    TrPkt3D flank(TrPkt3D p, std::span<const std::int32_t> near) const;
    TrPkt3D clearance(TrPkt3D p, std::span<const std::int32_t> near) const;
    // p raised to the exact tip height over the triangles `near` where it
    // stands below it.
    TrPkt3D lifted(TrPkt3D p, std::span<const std::int32_t> near) const;

    const TFrez& frez_;
    ToolContact contact_;
    std::span<const TTrojkat> triangles_;
    std::vector<Bounds> bounds_;
    // A triangle's plane as unit normal and offset (all zero when degenerate):
    // the distance from the plane never exceeds the distance from the triangle.
    struct Plane {
        double nx, ny, nz, d;
    };
    std::vector<Plane> planes_;
    double allowance_, maxZ_, levelStep_;
    double radius_;    // ball radius (d1 / 2)
    double ballReach_; // ball radius plus the allowance
    double reach_;
    double slack_;
    double firstLevel_; // height of the lowest flank level above the tip
    int lastLevel_;     // index of the highest flank level (-1: none)
    // Per flank level: the tool radius plus the allowance there, and the
    // largest of these up to that level.
    std::vector<double> levelRadius_, widestUpTo_;
};

} // namespace korvane
