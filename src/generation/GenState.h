#pragma once

#include "generation/Figury.h"

#include <atomic>

// The process-wide state of path generation (the raster layers have their own
// header). Written by the main thread before a generation starts, except the
// figure list and the counters, which belong to the running generation.
namespace korvane {

// The figures of the running generation; figures added since it started.
extern FigureList figureList;
extern int figureCounter;

// Corners sharper than this angle (degrees) are kept by smoothing and counted
// by the output reader; 150 until a machine model sets it (150 to 166).
extern double cornerAngle;
// The corner threshold of the output reader while path smoothing applies.
extern double cornerCountAngle;
// Clearance added to rapid-move heights: 5.0 mm before the first machine
// identification, 1.0 mm after.
extern double transferMargin;

// The running generation was asked to stop; the strategies poll it between passes.
extern std::atomic<bool> generationTerminate;

extern int maxNestingLevel; // deepest containment level found by CoWczym
extern double printProgress;
extern double printTimeLeft;

} // namespace korvane
