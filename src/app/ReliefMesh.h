#pragma once

#include "foundation/Records.h"
#include "geometry/Typy.h"

// A picture relief turned into a surface the model view can shade and turn:
// its raster as triangles.
namespace korvane {

// A vertex every `step` cells and on the last column and row, the step the
// smallest that keeps at most `maxPerSide` vertices along each side; cell
// (ix, iy) at (ix × cell, iy × cell, its height), two triangles a square,
// counter-clockwise from above. Fewer than two columns or rows give none.
TriangleList reliefTriangles(const tpix2d& heights, double cell, int maxPerSide);

} // namespace korvane
