#include "app/ToolSketch.h"

namespace korvane {

namespace {

constexpr float tick = 2; // half length of the ticks across a line's ends

SketchPiece disc(float r) {
    return {SketchShape::disc, r, r, 0};
}
SketchPiece cylinder(float r0, float r1, float length) {
    return {SketchShape::cylinder, r0, r1, length};
}

// A line along z at x, or along x at z, with its two end ticks.
void vertical(ToolSketch& s, float x, float z0, float z1) {
    s.lines.push_back({{x, 0, z0}, {x, 0, z1}});
    for (float z : {z0, z1}) s.lines.push_back({{x - tick, 0, z}, {x + tick, 0, z}});
}
void horizontal(ToolSketch& s, float z, float x0, float x1) {
    s.lines.push_back({{x0, 0, z}, {x1, 0, z}});
    for (float x : {x0, x1}) s.lines.push_back({{x, 0, z - tick}, {x, 0, z + tick}});
}

} // namespace

std::optional<ToolSketch> toolSketch(int IdFrezu) {
    const float r = sketchCutterRadius, shank = sketchShankRadius;
    ToolSketch s;
    switch (IdFrezu) {
    case 0: // end mill
        s.shift = -150;
        s.pieces = {disc(r), cylinder(r, r, 150), cylinder(r, shank, 150), disc(shank)};
        vertical(s, 82, -150, -300);
        s.labels = {{"h ", 97, -225}, {"hc ", 137, -165}, {"d1", -12, -335}, {"d3", -12, 25}};
        break;
    case 1: // ball
        s.shift = -100;
        s.pieces = {{SketchShape::sphere, r, r, 0},
                    cylinder(r, r, 70),
                    cylinder(r, shank, 180),
                    disc(shank)};
        vertical(s, 82, -180, -300);
        s.labels = {{"h ", 97, -240}, {"hc ", 137, -165}, {"d1", -12, -335}, {"d3", -12, 25}};
        break;
    case 2: // cone
        s.shift = -150;
        s.pieces = {disc(15), cylinder(15, r, 50), cylinder(r, r, 100), cylinder(r, shank, 150),
                    disc(shank)};
        vertical(s, 82, -250, -300);
        s.labels = {{"h ", 102, -275},
                    {"hc ", 142, -150},
                    {"d1", -12, -335},
                    {"d2", -12, -360},
                    {"d3", -12, 25}};
        break;
    default:
        return std::nullopt;
    }
    vertical(s, 122, 0, -300);                                           // hc
    horizontal(s, -320, IdFrezu == 2 ? -15 : -r, IdFrezu == 2 ? 15 : r); // d1
    if (IdFrezu == 2) horizontal(s, -340, -r, r);                        // d2
    horizontal(s, 20, -shank, shank);                                    // d3
    return s;
}

} // namespace korvane
