#pragma once

#include "geometry/Typy.h"

// The simulated material against the model: per cell the remaining height
// minus the model's height (above: material left, below: gouge) and the
// figures an operator judges a job by. Material left is also measured above
// the lowest surface the build's tools can reach (ReachableSurface), which
// tells the paths' own faults from what no tool of the build can cut.
namespace korvane {

// A cut deeper than this below the model counts as a gouge.
inline constexpr double gougeThreshold = 0.01;

struct DeviationFigures {
    double volumeRemoved = 0;       // mm³, none below the table at height 0
    double largestMaterialLeft = 0; // mm, 0 when nothing is left above the model
    double largestGouge = 0;        // mm, 0 when nothing is cut below the model
    double gougeX = 0, gougeY = 0;  // plan position of the largest gouge, mm
    double gougedArea = 0;          // mm² of cells gouged deeper than gougeThreshold
    // mm above the reachable surface, 0 when nothing is left above it
    double largestLeftAboveReach = 0;
    double leftAboveReachX = 0, leftAboveReachY = 0; // plan position of it, mm
    // The same measured across the reachable surface, square to it: the
    // height above it times the cosine of its slope. The step-over leaves its
    // scallops square to the surface; a height grows with the slope beyond
    // them, without bound at a wall.
    double largestThicknessLeft = 0;
    double thicknessLeftX = 0, thicknessLeftY = 0; // plan position of it, mm
};

struct DeviationMap {
    tpix2d deviation; // remaining minus model, mm
    tpix2d reachable; // the lowest surface the build's tools can cut, mm
    // The material left above the reachable surface measured square to it
    // (as largestThicknessLeft), mm; 0 where none is left.
    tpix2d thicknessLeft;
    // The model below the reachable surface measured square to it, mm: what
    // no tool of the build can reach; infinity where no tool stands.
    tpix2d reachGap;
    DeviationFigures figures;
};

// All four layers share the cell grid of size `cell` (mm); cells beyond the
// smallest of them are left out. Of equal gouges, and of equal heights above
// the reachable surface, the first cell (by column, then row) is reported.
DeviationMap compareWithModel(const tpix2d& initial, const tpix2d& remaining, const tpix2d& model,
                              tpix2d reachable, double cell);

} // namespace korvane
