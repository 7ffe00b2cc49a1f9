#pragma once

#include "generation/ToolStamp.h"
#include "libraries/Operacje.h"

#include <cstdint>

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

// Appends to figureList the strokes of the layer at z: columns x = k * spacing
// (starting left of 0 for a tool radius of more than 1.5 spacings) and
// x = modelSize.x, each cut into runs of cells that the tool reaches at z
// (motion height <= z) and where material stands above z under its outline.
// Every stroke runs between cell centres, upwards in y. True when the layer has
// any stroke.
bool layerStrokes(double z, double spacing, double toolRadius, const ToolShape& tool);

void generujZgrubnie(const TOperacjaDane& oper, const TFrez& frez);

} // namespace korvane
