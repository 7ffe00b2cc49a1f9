#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "libraries/Operacje.h"

#include <array>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

// Roughing (operation type 0): the bulk of the material comes off in level
// layers from the top down. Each layer is cut by strokes along y, spaced
// warstwaSzer apart in x and broken wherever the tool cannot reach the layer or
// no material is left there; the strokes are then chained into zigzags over
// connectors that ride on the surface. Afterwards materialHeights is lowered
// along every path, so that later operations of the build see what is left.
namespace korvane {

class TFrez;

// cellStatus flag: the tool has not passed over the cell in the current layer.
enum : std::int32_t { cellUnmachined = 0x08 };

// The height the layers count down from: one cell above the dominant level and
// the allowance, raised a layer thickness at a time until it lies more than a
// cell above the top of the stock, and capped by granicaZgorna when that is set.
double roughingLayerTop(const TOperacjaDane& oper);

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

// Appends to figureList the strokes of the layer at z: columns x = k * spacing
// (starting left of 0 for a tool radius of more than 1.5 spacings) and
// x = modelSize.x, each cut into runs of cells that the tool reaches at z
// (motion height <= z) and where material stands above z under its outline.
// Every stroke runs between cell centres, upwards in y. True when the layer has
// any stroke.
bool layerStrokes(double z, double spacing, double toolRadius, const ToolShape& tool);

// The tool's cell offsets as the raster sweeps use them; a tool narrower than
// a cell is its centre point.
std::span<const TPkt3D> sweepPoints(const TFrez& frez);

// Clears cellUnmachined under the tool standing on the cells of samples about
// one cell apart along the figure.
void clearUnderTool(const tFigura& f, const ToolShape& tool);

// Lowers materialHeights to the tool's lower surface standing on the cells of
// samples about 1.5 per cell along the figure; the tool tip runs straight from
// point to point.
void lowerMaterial(const tFigura& f, const ToolShape& tool);

void generujZgrubnie(const TOperacjaDane& oper, const TFrez& frez);

} // namespace korvane
