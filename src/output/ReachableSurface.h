#pragma once

#include "geometry/Typy.h"
#include "output/ToolProfile.h"

#include <vector>

// The lowest surface the tools of a build can cut without cutting into the
// model: a tool stood on every cell at its motion height (the lowest tip
// height, never below 0, at which its lower surface clears the model raised by
// the allowance) and the envelope of its lower surface over all those stands.
// Material left above it is material the paths failed to remove; what lies
// between it and the model no path of those tools can reach.
namespace korvane {

struct ReachingTool {
    ToolProfile tool;
    double allowance = 0; // mm left on the model
};

// Cell (ix, iy) is the plan point (ix * cell, iy * cell) and tools stand on
// cell centres, as on the motion map. The result has the model's shape; with
// no tools every cell is +infinity. The allowance raises the model by a
// sphere over every cell; one under half a cell leaves it as it is. Equal
// tools with equal allowances are worked out once; each tool's maps are
// computed on `threads` threads, each taking whole columns.
tpix2d reachableSurface(const tpix2d& model, double cell, const std::vector<ReachingTool>& tools,
                        int threads);

} // namespace korvane
