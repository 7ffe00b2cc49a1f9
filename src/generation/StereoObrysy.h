#pragma once

#include "generation/Plaszczyzny.h"

// The perimeter rings of one print layer: closed paths at fixed distances
// inside the layer's outlines, traced on a map of the distance from the
// outlines over the area they bound (even-odd, so holes stay out).
namespace korvane {

class tStereoWarstwa;

// The ring levels inside the outline for `perimeters` perimeters of width w:
// (r + 1/2) w for r = 0 .. perimeters - 1, then the infill's boundary at
// (perimeters + 1/4) w (never less than w / 2), where an infill stroke just
// overlaps the last perimeter.
std::vector<double> ringLevels(int perimeters, double w);

// Appends the rings of the outlines first..last of figureList (closed figures
// of one layer), level after level. firstRingStart: where the rings begin;
// lastRingStart: where the infill's boundary ring begins.
RingStarts obrysyWarstwy(const tStereoWarstwa& layer, int first, int last, int perimeters,
                         double w);

} // namespace korvane
