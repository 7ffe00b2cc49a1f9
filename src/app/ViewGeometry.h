#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"

#include <vector>

// What the model view hands to the graphics card, built once per shown list:
// the view keeps no reference to the lists of others.
namespace korvane {

// Per vertex x, y, z and the normal nx, ny, nz: three vertices a triangle, each
// with the triangle's normal (b − a) × (c − a), not normalised.
inline constexpr int floatsPerVertex = 6;
std::vector<float> triangleVertexData(const TriangleList& triangles);

// The points of every figure one after another (x, y, z), and per figure its
// first point and its number of points, for one line strip each.
struct LineStrips {
    std::vector<float> points;
    std::vector<int> first, count;
};
LineStrips figureLineStrips(const FigureList& figures);

} // namespace korvane
