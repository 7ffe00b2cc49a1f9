#pragma once

#include "geometry/Figury.h"
#include "output/SegmentSweep.h"

#include <atomic>
#include <vector>

// The material-removal simulation: the output files of a build swept with
// their tools over a height map of the material.
namespace korvane {

// One operation's output: its figures in file order and its tool.
struct SimulatedPass {
    const FigureList* figures = nullptr;
    ToolProfile tool;
};

// One straight move of the tool.
struct ToolMove {
    Point3 a, b;
    int pass = 0;
};

// Every move of the passes in order: the segments of each figure, a figure of
// one point as a move on the spot, and between two figures of a pass the
// transfer at the first one's przestawczyZ from above its last point to above
// the next one's start (the climb and the descent at either end remove nothing
// beyond what the end points do).
std::vector<ToolMove> toolMoves(const std::vector<SimulatedPass>& passes);

// Where a running simulation stands; another thread may read `movesDone` and
// set `abort`.
struct SimulationControl {
    std::atomic<bool> abort{false};
    std::atomic<long long> movesDone{0};
    long long movesTotal = 0;
};

// Lowers `heights` (cell size `cell`) by every move of the passes on `threads`
// threads, each taking bands of rows in turn, so that the result does not
// depend on the number of threads. False when aborted (the map is then partly
// swept).
bool simulateMaterial(tpix2d& heights, double cell, const std::vector<SimulatedPass>& passes,
                      int threads, SimulationControl* control = nullptr);

} // namespace korvane
