#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The tool stamped on the raster along a path: the cells it passes over and
// the material it leaves. Straight runs along a column or a row are stamped a
// tool line at a time, steps to a neighbouring cell by the tool's leading
// edge; either gives exactly what the whole tool stamped at every sample gives.
namespace korvane {

class TFrez;

// The tool's points grouped in lines: by column offset (each column sorted by
// row offset) or by row offset (each row sorted by column offset), from
// `first` on; a line without points is empty.
struct ToolLines {
    ToolLines(std::span<const TPkt3D> tool, bool columns);
    struct Point {
        int along = 0; // the offset along the line
        float dz = 0;
    };
    int first = 0;
    std::vector<std::vector<Point>> lines;
};

// The tool's points for the raster sweeps along a path: as given, in lines,
// and for a step of the tool to a neighbouring cell (dx, dy), at index
// (dx + 1) * 3 + dy + 1, the points whose cells the tool did not cover before.
struct ToolShape {
    explicit ToolShape(std::span<const TPkt3D> tool);
    ToolLines byColumn, byRow;
    std::vector<TPkt3D> points;
    std::array<std::vector<TPkt3D>, 9> leadingEdge;
    bool flat = false; // every point at the same height above the tip
};

// The tool's cell offsets as the raster sweeps use them; a tool narrower than
// a cell is its centre point.
std::span<const TPkt3D> sweepPoints(const TFrez& frez);

// Clears `flag` in cellStatus under the tool standing on the cells of samples
// about one cell apart along the figure.
void clearUnderTool(const tFigura& f, const ToolShape& tool, std::int32_t flag);

// Lowers materialHeights to the tool's lower surface standing on the cells of
// samples about 1.5 per cell along the figure; the tool tip runs straight from
// point to point.
void lowerMaterial(const tFigura& f, const ToolShape& tool);

// Keeps the tool tip of f on or above the motion map wherever lowerMaterial
// stands it: every point at least at the map of its cell and at the map
// interpolated there; a straight move that passes lower over the cell of one
// of its samples gets that sample as a new point, raised so (a move too short
// for that is lifted whole). The tool standing on the map cuts nothing of the
// model with its allowance, so neither does the material lowered along f.
void keepAboveMotionMap(tFigura& f);

} // namespace korvane
