#pragma once

#include "geometry/Typy.h"
#include "output/ToolProfile.h"

// Sweeping the tool over a height map. Cell (ix, iy) of a map with cell size
// `cell` is the plan point (ix * cell, iy * cell); a cell is lowered to the
// lowest tool surface that passes over its centre, never raised.
namespace korvane {

struct Point3 {
    double x = 0, y = 0, z = 0;
};

// The rows of the map one call may write (firstRow <= iy < endRow), so that
// threads sweeping the same segments into disjoint rows never meet.
struct RowBand {
    int firstRow = 0;
    int endRow = 0;
};

// A straight move of the tip from a to b in the terms the sweep reads: its
// direction and length in plan, its climb per mm and its lower end.
struct SweptSegment {
    SweptSegment(const Point3& a, const Point3& b);
    Point3 a;
    double ux = 0, uy = 0, length = 0, slope = 0, lowest = 0;
};

// The lowest height the tool's surface reaches over the plan point (x, y)
// during the move s (never above `ceiling`: rings that cannot go below it are
// not looked at, nor rings narrower than the point's distance to the
// segment). For a cell at distance w across the line and at u along it a
// ring covers it while the tip is within sqrt(radius² - w²) of u, and the tip
// is lowest at one end of that stretch (clipped to the segment), z being
// linear along it. The move must have a length.
double sweptHeight(const ToolProfile& tool, const SweptSegment& s, double x, double y,
                   double ceiling);

// The tool moved straight from a to b, its tip on the segment. Per ring the
// cells it passes over lie within `radius` of the segment in plan (sweptHeight).
void sweepSegment(tpix2d& heights, double cell, RowBand rows, const ToolProfile& tool,
                  const Point3& a, const Point3& b);

// The tool standing with its tip at p.
void stampTool(tpix2d& heights, double cell, RowBand rows, const ToolProfile& tool,
               const Point3& p);

} // namespace korvane
