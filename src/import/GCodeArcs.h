#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

// Arcs of a G-code program cut into straight moves. A plane is given by its
// first and second axis and its normal, a right-handed triple: G17 is X Y Z,
// G18 is Z X Y, G19 is Y Z X; an arc is clockwise as seen from the normal's
// positive side.
namespace korvane {

using GPoint = std::array<double, 3>; // x, y, z, mm

struct PlaneAxes {
    int first, second, normal; // indices into a GPoint
};

// The axes of G17, G18 or G19.
PlaneAxes planeAxes(int plane);

// The largest chord error of the straight moves an arc is cut into, mm.
inline constexpr double arcChordError = 0.002;

// The most straight moves one arc is cut into: an arc of 10 m radius turns
// twenty times within it.
inline constexpr std::size_t maxArcChords = 100000;

// The centre (first, second) of the arc of radius `r` from `start` to `end` in
// the plane: positive r the arc of at most half a turn, negative the longer one.
// None when the ends coincide or lie farther apart than the diameter.
std::optional<std::array<double, 2>> radiusArcCentre(const GPoint& start, const GPoint& end,
                                                     const PlaneAxes& axes, double r,
                                                     bool clockwise);

// The radii from `centre` to the two ends agree as RS274/NGC accepts them:
// within `tolerance` mm (0.02 sqrt 2 mm in a program in millimetres, 0.002
// sqrt 2 inch in one in inches), or within 0.1 % of the radius; neither is zero.
bool arcRadiiAgree(const GPoint& start, const GPoint& end, const PlaneAxes& axes,
                   const std::array<double, 2>& centre, double tolerance);

// Appends the ends of the straight moves of the arc from `start` to `end`
// about `centre` to `points` (`end` last, exactly). Ends that coincide in the
// plane make a full circle; `turns` full circles or arcs past the first add
// whole turns. The axis normal to the plane moves evenly with the angle; a
// radius that differs at the two ends changes evenly too. Every chord lies
// within arcChordError of the arc, with no more chords than that needs. False,
// and nothing appended, for an arc that needs more than maxArcChords.
bool arcChords(const GPoint& start, const GPoint& end, const PlaneAxes& axes,
               const std::array<double, 2>& centre, bool clockwise, int turns,
               std::vector<GPoint>& points);

} // namespace korvane
