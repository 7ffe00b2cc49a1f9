#pragma once

#include "foundation/Records.h"
#include "geometry/Typy.h"

#include <cstdint>
#include <vector>

// The remaining material of a simulation as a mesh for the simulation page's
// 3D view: a grid of vertices over the height map, each with its normal and the
// colour of its deviation class, two triangles a grid square.
namespace korvane {

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
// A vertex stands at its own cell's height and takes the worst class (gouge,
// then material left) of the cells nearer to it than to any other vertex, so
// that a gouge narrower than a step still shows. Maps with fewer than two
// columns or rows give an empty mesh.
SurfaceMesh simulationSurface(const tpix2d& remaining, const tpix2d& deviation, double cell,
                              double allowance, int maxVerticesPerSide);

} // namespace korvane
