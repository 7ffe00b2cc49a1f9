#pragma once

#include "geometry/Figury.h"
#include "geometry/Typy.h"

// Contour tracing: the lines along which a height layer crosses a level. On the
// motion map they are the waterlines the tool can run around the part at; on
// the flat-area mask the borders of the regions still to clear.
namespace korvane {

// cellStatus flag bits the tracer uses.
enum : std::int32_t {
    cellVisited = 0x10,                 // taken by a chain or a walk
    cellCrossing = 0x40,                // the level crosses here; the crossing point is in p
    cellTraceBits = 0x0F | cellVisited, // cleared again over the box when a trace ends
};

// Appends to figureList the contours of `layer` at level z inside the cell box
// [x0, x1] x [y0, y1]: closed figures where a chain comes back to its start,
// open ones where the raster edge or a gap cuts it; open pieces whose ends meet
// are merged, short gaps bridged. Every figure lies at z and has warstwa set.
void traceContours(const tpix2d& layer, int x0, int y0, int x1, int y1, double z);
// The same marking `status` and appending to `figures`: traces running at once
// on other threads each bring their own.
void traceContours(const tpix2d& layer, int x0, int y0, int x1, int y1, double z, tpix2dRec& status,
                   FigureList& figures);

} // namespace korvane
