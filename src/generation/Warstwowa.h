#pragma once

#include "geometry/Figury.h"
#include "libraries/Operacje.h"

// Layered finishing (operation type 1): the waterlines of the motion map from
// the top down, one layer depth apart, optionally joined into descending paths.
namespace korvane {

// Reverses a closed figure that runs clockwise (x right, y up); open figures
// stay as they are.
void orientCounterClockwise(tFigura& f);

// Joins the figures of figureList into descending paths: the end of a figure
// goes on over a connector on the surface, raised by `layerDepth`, into the
// nearest closed figure at most one layer below it.
void joinLayers(double layerDepth);

void generujWarstwowo(const TOperacjaDane& oper);

} // namespace korvane
