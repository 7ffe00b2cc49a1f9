#pragma once

#include "import/GCodePath.h"

// The drilling cycles G81, G82 and G83 as the moves a real interpreter makes.
namespace korvane {

struct DrillHole {
    int cycle = 81;        // 81 drill, 82 drill with dwell, 83 peck drill
    double x = 0, y = 0;   // the hole
    double r = 0;          // the retract plane, mm
    double bottom = 0;     // mm
    double clear = 0;      // the height left at after the hole: R (G99) or the higher start (G98)
    double peck = 0;       // G83: the depth of each peck, mm
    double rapidDelta = 0; // G83: the stop above the depth already drilled, mm
    double feed = 0;       // mm/min
};

// From the tool's height `from`: up to R first when below it, then to the hole
// at that height, down to R, the cycle, and the return to `clear`. The next
// hole of the block starts from `clear`.
void drillHole(const DrillHole& hole, double from, GCodePath& path);

} // namespace korvane
