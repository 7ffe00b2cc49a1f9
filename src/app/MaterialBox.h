#pragma once

#include "app/PreviewAxes.h"
#include "foundation/Records.h"

#include <optional>
#include <string>
#include <vector>

// The material as the views show it: the block's box, its outline and faces,
// and its dimensions.
namespace korvane {

// The box the project's material fills, from the work origin: a block of its
// size; a coating over the model's plan up to the model's top and the
// coating; a stock model its extents. None when it has no size.
std::optional<TMinMax> materialBox(const TMaterial& material, const TModel& model,
                                   const TModel& stock);

// The box of the project's material, the loaded model's and stock model's
// extents; none without a project.
std::optional<TMinMax> projectMaterialBox();

// The twelve edges.
std::vector<AxisSegment> boxEdges(const TMinMax& box);
// The six faces as triangles in the model view's vertex layout (ViewGeometry),
// normals outwards.
std::vector<float> boxFaces(const TMinMax& box);

// The width, depth and height at the middle of the front, left and right
// edges, as "123.4 mm", and the three together as "123.4 × 80.0 × 25.0 mm".
std::vector<AxisLabel> boxDimensions(const TMinMax& box);
std::string boxSizeText(const TMinMax& box);

} // namespace korvane
