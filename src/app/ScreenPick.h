#pragma once

#include <array>
#include <optional>
#include <vector>

// Finding what lies under the mouse in a 3D view from the matrices the view
// drew its last frame with.
namespace korvane {

struct ScreenProjection {
    std::array<double, 16> modelView{}, projection{}; // column-major, as OpenGL holds them
    std::array<int, 4> viewport{};                    // x, y, width, height in pixels
};

// The window position (x right, y up, in pixels) of a point, as gluProject
// gives it; none behind the eye.
std::optional<std::array<double, 2>> projectToWindow(const ScreenProjection& p, double x, double y,
                                                     double z);

// The point drawn at window position (x, y) with window depth `depth` (0 near
// .. 1 far), as gluUnProject gives it; none for a matrix without inverse.
std::optional<std::array<double, 3>> unprojectFromWindow(const ScreenProjection& p, double x,
                                                         double y, double depth);

// Of the vertices (x, y, z the first three of every `stride` floats), the one
// whose window position lies nearest to (x, y), within `radius` pixels; -1
// when none. Of equal distances the first.
int nearestVertexOnScreen(const std::vector<float>& vertices, int stride, const ScreenProjection& p,
                          double x, double y, double radius);

} // namespace korvane
