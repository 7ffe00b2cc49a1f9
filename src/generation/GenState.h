#pragma once

#include <atomic>

// The process-wide state of path generation (the raster layers and the figure
// list have their own headers). Written by the main thread before a generation
// starts, except the counters, which belong to the running generation.
namespace korvane {

// The running generation was asked to stop; the strategies poll it between passes.
extern std::atomic<bool> generationTerminate;

extern int maxNestingLevel; // deepest containment level found by CoWczym
extern double printProgress;
extern double printTimeLeft;

} // namespace korvane
