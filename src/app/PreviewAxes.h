#pragma once

#include "app/RawViewState.h"

#include <string>
#include <vector>

// The coordinate axes of the output preview and the material view: from the
// work origin along x, y and z over the content, each with marks at round
// millimetres and their numbers.
namespace korvane {

struct AxisLabel {
    TrPkt3D at;
    std::string text;
};

struct MillimetreAxes {
    std::vector<AxisSegment> lines; // the axes and their marks
    std::vector<AxisLabel> labels;  // the numbers, and "X mm", "Y mm", "Z mm" at the ends
    double step = 1;                // mm between marks
};

// Axes from 0 to the far side of `extents` (at least one step), one step for
// all three, at most about six marks along the longest.
MillimetreAxes millimetreAxes(const TMinMax& extents);

} // namespace korvane
