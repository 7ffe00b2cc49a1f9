#pragma once

#include "libraries/Operacje.h"

#include <functional>

// The layered print (operation type 6): the model cut into layers of the
// operation's thickness, each with its perimeters and a cross-hatched infill
// joined into long paths, ordered island by island, with travel links that
// keep the moves between paths off the outlines.
namespace korvane {

// The number of layers of a model `height` mm high: height / thickness + 0.5
// rounded half to even (so 9 layers' height gives 10 layers).
int liczbaWarstw(double height, double thickness);
// The height the layer k is cut at: (k + 0.1) thickness.
double wysokoscWarstwy(int k, double thickness);
// The infill angle of layer k in degrees: 135 on even layers, 45 on odd ones.
double katWypelnienia(int k);

// Fills figureList from modelTriangles. `layerDone` (optional) hears each
// finished layer's number.
void GenerujStereo(const TOperacjaDane& oper, const std::function<void(int)>& layerDone = {});

} // namespace korvane
