#pragma once

#include "geometry/Figury.h"

// The tip height at every point of the paths and the cut of every move between
// two, searched by the program's chunks of cells and by the plain loop over
// every cell (kept apart from the model's set-up, whose headers clash with the
// sweep's).
namespace korvane {
class TFrez;
}

namespace korvane::bench {

struct LookupTimes {
    double chunks = 0, plain = 0; // seconds
    bool same = true;             // every value equal to the last bit
};

// Against offsetHeights at pixelSize.
LookupTimes timeLookups(const TFrez& tool, const FigureList& paths);

} // namespace korvane::bench
