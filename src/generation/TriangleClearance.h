#pragma once

#include "foundation/Records.h"
#include "generation/ToolContact.h"
#include "generation/TriangleGrid.h"

#include <limits>
#include <span>
#include <vector>

// The tool's exact contact with the model triangles, found through a grid of
// them: how low the tip may stand at a plan point so that the tool keeps the
// allowance from every triangle, and how deep a straight move between two
// points cuts. The raster a strategy works on samples the model at its cell
// centres and misses what lies between them: a sharp vertex, a thin ridge,
// the top edge of a wall.
namespace korvane {

class TFrez;

class TriangleClearance {
  public:
    // A move that cuts no deeper than this is clear.
    static constexpr double tolerance = 0.001;

    // `cell`: the raster's cell size, the step of the triangles' lookups
    // along a move. The triangles must outlive the clearance.
    TriangleClearance(const TFrez& tool, double allowance, std::span<const TTrojkat> triangles,
                      double cell);

    // The lowest tip height at (x, y) at which the tool keeps the allowance
    // from every triangle; -infinity when no triangle lies within its reach.
    double tipHeight(double x, double y) const { return tipAbove(x, y, -infinity); }
    // How deep the straight move of the tip from a to b cuts at worst between
    // its ends, which stand clear (raised): the cut of a ball to a quarter of
    // the tolerance. 0 when it cuts nothing.
    double cut(const TrPkt3D& a, const TrPkt3D& b) const;
    // p on the output file's grid, its height the nearest step or, where that
    // is below its tip height, the step above it.
    TrPkt3D raised(TrPkt3D p) const;

  private:
    static constexpr double infinity = std::numeric_limits<double>::infinity();
    // The tip height at (x, y) where it lies above `floor`; otherwise at most
    // `floor`: triangles too low to lift the tip above it are not read.
    double tipAbove(double x, double y, double floor) const;
    // The triangles within the tool's reach of the move from a to b, and
    // perhaps a few more, that reach above its lower end's tip; ascending.
    void nearMove(const TrPkt3D& a, const TrPkt3D& b, std::vector<std::int32_t>& out) const;
    // How deep `ball` swept from a to b cuts the triangles `near` at worst,
    // when deeper than `known`; otherwise `known`.
    double ballCut(const ToolSolid& ball, std::span<const std::int32_t> near, const TrPkt3D& a,
                   const TrPkt3D& b, double known) const;

    ToolContact contact_;
    std::span<const TTrojkat> triangles_;
    // Each triangle's plane as unit normal and offset (all nought when it has
    // no area): the distance from it never exceeds that from the triangle.
    struct Plane {
        double x, y, z, d;
    };
    std::vector<Plane> planes_;
    TriangleGrid grid_;
    double cell_; // the step between the lookups along a move
};

// What the points are kept above besides the triangles: nothing (the paths of
// the precise correction), the motion map (roughing's), or the raster with
// the tool's true shape and the motion map (ToolClearance, the finishing
// paths': what the rapid heights, the material simulation and the paths'
// earlier checks go by, the model's cells standing at the highest point of
// the model within them).
enum class Floor { none, motionMap, raster };

// Keeps every figure of figureList clear of modelTriangles with the tool's
// exact shape and the allowance, and above `floor` (see PathClearing, moves
// split down to a 32nd of a cell), on `workers` threads, each taking whole
// figures. Floor::raster reads offsetHeights: it must hold the allowance.
void keepClearOfTriangles(const TFrez& tool, double allowance, Floor floor, int workers);

} // namespace korvane
