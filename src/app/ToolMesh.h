#pragma once

#include "libraries/Frezy.h"

#include <vector>

// The tool in its real shape for the output preview's playback: its outline
// (the radius at each height above the tip) turned about its axis.
namespace korvane {

// Triangles in the model view's vertex layout (x, y, z, nx, ny, nz, see
// ViewGeometry), the tip at the origin and the axis along z, `slices` facets
// round, up to the height where the shank's diameter is reached (at least the
// cutting length, at least the diameter); a flat tip closed by a disc.
std::vector<float> toolMesh(const TFrezDane& tool, int slices);

} // namespace korvane
