#pragma once

#include "geometry/Figury.h"
#include "geometry/Typy.h"

// The region of a contour on a working copy of the motion map, and the shape
// of the relief around a contour: what the mixed strategy traces its next
// contours in.
namespace korvane {

// Status flags of region preparation.
enum : std::int32_t {
    regionOutline = 1, // the contour passes through the cell
    regionOutside = 2, // reached from the border of the box without crossing the outline
};

// Columns x0..x1 and rows y0..y1, inclusive; empty when x0 > x1.
struct CellBox {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool empty() const { return x0 > x1 || y0 > y1; }
};

// Makes `mask` the region of the closed figure f for the direction d (+1 up
// into a bump, -1 down into a hollow) at `level`, over f's box and one cell
// around it (what a trace of the box reads): the cells the qualifying outside
// cells cannot reach from the border of the box without crossing f's outline
// keep their working height (offsetHeights); every other cell its height but
// no more than the level (d > 0) or no less (d <= 0), so that tracing `mask`
// beyond the level finds only contours inside f. Outside qualifies at or below
// the level for d > 0, above it for d <= 0. `status` holds the flags over the
// same cells afterwards. Returns f's box.
CellBox prepareRegion(const tFigura& f, int direction, double level, tpix2d& mask,
                      tpix2dRec& status);

// Cuts out of the figures of `figures` from `first` on, traced on a region
// mask at level z, the points where the motion map stands higher than z: where
// a region ends at the border of its box the mask crosses the level although
// the relief does not. A figure cut open leaves its pieces of two or more
// points in its place, open.
void keepOnSurface(FigureList& figures, size_t first, double z);

// Sets f's wypukla and wklinowana from the working heights (offsetHeights) at
// its four extreme points: a contour whose inside rises or whose outside falls
// at all four is convex; a point lying in a groove across the contour counts
// in wklinowana.
void classifyContour(tFigura& f);

} // namespace korvane
