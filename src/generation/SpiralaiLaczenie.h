#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "libraries/Operacje.h"

#include <vector>

// Linking of the mixed strategy's contours: stacks of closed contours become
// descending spirals, the layers are joined, and open figures that end on the
// same side of the model are joined along it.
namespace korvane {

// A point's side of the model border: within a cell of the top, right, bottom
// or left edge, tested in this order.
enum class BorderSide { none, top, right, bottom, left };
BorderSide borderSide(const TrPkt3D& p);

// Turns every stack of closed contours of figureList (from figStart on) whose
// levels lie less than 4 steps apart into one open spiral figure (spirala 1):
// the top contour, then over each turn a transition from one contour to the
// next lower one, then a full turn of the lowest. Nothing happens unless the
// operation joins ends (polaczoneKonce).
void spiralaiLaczenie(int figStart, const TOperacjaDane& oper);

// One turn of the closed figure `lower` (its last point repeating the first)
// drawn down from `upper` onto it: its k-th of n points moved towards the
// point of `upper` nearest to it in space (the first of equal distances) by
// 1 - k/n, never below the motion map. `widest` is the largest distance
// between a point and its nearest. The points of `upper` are looked up in
// plan squares of `square` mm.
std::vector<TrPkt3D> spiralTransition(const tFigura& upper, const tFigura& lower, double square,
                                      double& widest);

// Joins the open figures of figureList from figStart on that end on a side of
// the model border: each to the other open figure whose end lies nearest in
// space on the same side (the first of equal distances), both turned so that
// the path runs from the one's end to the other's start, over a connector
// along the surface within the height window (lowLimit to highLimit).
void joinAtBorders(int figStart);

// How a spiral may go on where it climbs.
struct SpiralClimbs {
    double largestRaise = 0; // a point this much lower than the next is raised
    double reach = 0;        // a link to the next point at most this long in plan,
    double largestClimb = 0; // climbing at most this much, clear of the motion map, stays
};

// Makes every spiral of figureList (spirala 1) descend from point to point
// once nothing will raise its points any more, but where it climbs over a
// short link. Walking from its end, a point lower than the point after it is
// raised to that height when the raise is at most `largestRaise`; otherwise
// the spiral goes on over the link to the next point when that lies within
// `reach` in plan, climbs at most `largestClimb` and runs on or above the
// motion map all the way; otherwise it ends at that point and the rest becomes
// a spiral of its own right after it (a piece is never left with a single
// point: that one is raised). Points only ever go up, so a path that kept the
// tool clear still does.
void keepSpiralsDescending(const SpiralClimbs& climbs);

// Whether the straight move from p to q stays on or above the motion map,
// looked at every half cell.
bool linkClearOfMotionMap(const TrPkt3D& p, const TrPkt3D& q);

} // namespace korvane
