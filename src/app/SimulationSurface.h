#pragma once

#include "foundation/Records.h"
#include "output/DeviationMap.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The remaining material of a simulation as a mesh for the simulation page's
// 3D view: a grid of vertices over the height map, each with its normal and the
// colour of what is left there, two triangles a grid square.
namespace korvane {

// What a cell of the simulated surface tells, judged by the measure the
// page's figures lead with, the material left above the reachable surface:
enum class SurfaceJudgement {
    reached,     // within the allowance of the model, or on the reachable surface where it
                 // lies within the allowance of the model
    unreachable, // on the reachable surface, which lies above the model: no tool reaches lower
    left,        // more than 0.01 mm left above the reachable surface: the paths left it
    gouge,       // cut deeper than gougeThreshold into the model
};

// The reachable surface within this counts as reached.
inline constexpr double reachTolerance = 0.01;

struct SurfaceCell {
    int ix = 0, iy = 0;
    double height = 0;    // the remaining surface, mm
    double deviation = 0; // remaining minus model, mm
    double thickness = 0; // left above the reachable surface, square to it, mm
    SurfaceJudgement judgement = SurfaceJudgement::reached;
};

// From the cell's deviation from the model, the thickness left above the
// reachable surface and the gap between that surface and the model (both
// square to the surface), and the allowance.
SurfaceJudgement judgeSurface(double deviation, double thickness, double reachGap,
                              double allowance);

// Green, grey, amber and red; the amber darker the more is left, from
// reachTolerance (light) to `largestThickness` (dark).
std::array<float, 3> surfaceColour(SurfaceJudgement judgement, double thickness,
                                   double largestThickness);

// The cell nearest to the plan point (x, y) mm, none off the map.
std::optional<SurfaceCell> surfaceCellAt(const tpix2d& remaining, const DeviationMap& map,
                                         double cell, double allowance, double x, double y);

// Per vertex x, y, z, the normal nx, ny, nz (not normalised) and r, g, b (0..1).
inline constexpr int floatsPerSurfaceVertex = 9;

struct SurfaceMesh {
    std::vector<float> vertices;
    std::vector<std::uint32_t> indices; // three a triangle, counter-clockwise from above
    TMinMax extents;                    // of the vertices
    int step = 1;                       // cells between neighbouring vertices
};

// A vertex every `step` cells and on the last column and row, the step the
// smallest that keeps at most `maxVerticesPerSide` vertices along each side.
// A vertex stands at its own cell's height and takes the worst judgement
// (gouge, then material left with the most left, then out of reach) of the
// cells nearer to it than to any other vertex, so that a gouge narrower than a
// step still shows. Maps with fewer than two columns or rows give an empty mesh.
SurfaceMesh simulationSurface(const tpix2d& remaining, const DeviationMap& map, double cell,
                              double allowance, int maxVerticesPerSide);

} // namespace korvane
