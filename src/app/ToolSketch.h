#pragma once

#include "foundation/Records.h"

#include <optional>
#include <string>
#include <vector>

// The schematic body of a tool type for the tool view: round pieces along the
// tool axis, tip first, 300 units long, with dimension lines and their labels.
namespace korvane {

enum class SketchShape { disc, sphere, cylinder };

// A disc (radius baseRadius), a sphere centred at the piece's start, or a
// cylinder or cone from baseRadius to topRadius over `length`. Only cylinders
// move the frame on, to their far end.
struct SketchPiece {
    SketchShape shape = SketchShape::disc;
    float baseRadius = 0, topRadius = 0, length = 0;
};

// Dimension lines and labels are placed in the frame of the top disc: z = 0 at
// the top, the tip at z = −300, x across, y = 0.
struct SketchLine {
    TrPkt3D from, to;
};
struct SketchLabel {
    std::string text;
    float x = 0, z = 0;
};

struct ToolSketch {
    float shift = 0; // along the axis, so that the body is centred
    std::vector<SketchPiece> pieces;
    std::vector<SketchLine> lines; // dimension lines and their end ticks
    std::vector<SketchLabel> labels;
};

inline constexpr float sketchCutterRadius = 50;
// 50 + round(50 / 4): the shank is a quarter wider than the cutter.
inline constexpr float sketchShankRadius = 62;

// The sketch of tool type 0 (end mill), 1 (ball) or 2 (cone); none for others.
std::optional<ToolSketch> toolSketch(int IdFrezu);

} // namespace korvane
