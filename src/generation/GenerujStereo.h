#pragma once

#include "libraries/Operacje.h"

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

// Seconds a print spent in its phases, summed over the layers.
struct PrintPhaseSeconds {
    double slicing = 0;    // the cut of the triangles into outlines
    double perimeters = 0; // outer and inner outlines told apart, the rings
    double hatching = 0;   // the infill strokes
    double joining = 0;    // chaining the strokes, joining the rings
    double ordering = 0;   // containment, island groups, sorting, travel links
};

// Fills figureList from modelTriangles.
PrintPhaseSeconds GenerujStereo(const TOperacjaDane& oper);

} // namespace korvane
