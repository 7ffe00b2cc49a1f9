#include "import/GCodeArcs.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

constexpr double pi = 3.14159265358979323846;

// Ends closer than this in the plane are one point: the arc is a full circle.
constexpr double samePlanePoint = 1e-6;

} // namespace

PlaneAxes planeAxes(int plane) {
    switch (plane) {
    case 18:
        return {2, 0, 1};
    case 19:
        return {1, 2, 0};
    default:
        return {0, 1, 2};
    }
}

std::optional<std::array<double, 2>> radiusArcCentre(const GPoint& start, const GPoint& end,
                                                     const PlaneAxes& axes, double r,
                                                     bool clockwise) {
    const double a1 = start[axes.first], a2 = start[axes.second];
    const double b1 = end[axes.first], b2 = end[axes.second];
    const double d1 = b1 - a1, d2 = b2 - a2;
    const double chord = std::hypot(d1, d2);
    const double radius = std::fabs(r);
    if (chord < samePlanePoint || radius == 0) return std::nullopt;
    const double half = chord / 2;
    // A radius short of half the chord by 0.00127 mm (0.00005 inch) at most
    // reaches its middle.
    if (half > radius + 0.00127) return std::nullopt;
    const double h = std::sqrt(std::max(0.0, radius * radius - half * half));
    // The short arc clockwise has its centre to the right of the chord, the
    // short arc counter-clockwise to the left; the long arc the other side.
    double side = clockwise ? -1 : 1;
    if (r < 0) side = -side;
    const double u1 = d1 / chord, u2 = d2 / chord;
    return std::array<double, 2>{a1 + d1 / 2 - side * u2 * h, a2 + d2 / 2 + side * u1 * h};
}

bool arcRadiiAgree(const GPoint& start, const GPoint& end, const PlaneAxes& axes,
                   const std::array<double, 2>& centre, double tolerance) {
    const double r1 = std::hypot(start[axes.first] - centre[0], start[axes.second] - centre[1]);
    const double r2 = std::hypot(end[axes.first] - centre[0], end[axes.second] - centre[1]);
    if (r1 == 0 || r2 == 0) return false;
    const double difference = std::fabs(r1 - r2);
    return difference <= tolerance || difference <= 0.001 * r1;
}

bool arcChords(const GPoint& start, const GPoint& end, const PlaneAxes& axes,
               const std::array<double, 2>& centre, bool clockwise, int turns,
               std::vector<GPoint>& points) {
    const double s1 = start[axes.first] - centre[0], s2 = start[axes.second] - centre[1];
    const double e1 = end[axes.first] - centre[0], e2 = end[axes.second] - centre[1];
    const double r1 = std::hypot(s1, s2), r2 = std::hypot(e1, e2);
    const double startAngle = std::atan2(s2, s1);
    const double endAngle = std::atan2(e2, e1);
    double sweep = clockwise ? startAngle - endAngle : endAngle - startAngle;
    const bool closed = std::hypot(end[axes.first] - start[axes.first],
                                   end[axes.second] - start[axes.second]) < samePlanePoint;
    if (closed)
        sweep = 2 * pi;
    else if (sweep <= 0)
        sweep += 2 * pi;
    sweep += 2 * pi * std::max(0, turns - 1);

    // The sagitta of a chord spanning angle a is r (1 - cos(a / 2)).
    const double r = std::max(r1, r2);
    std::size_t chords = 1;
    if (r > arcChordError / 2) {
        const double step = 2 * std::acos(std::max(-1.0, 1 - arcChordError / r));
        const double needed = std::ceil(sweep / step - 1e-9);
        if (!(needed <= double(maxArcChords))) return false;
        chords = std::max<std::size_t>(static_cast<std::size_t>(needed), 1);
    }
    const double direction = clockwise ? -1 : 1;
    for (std::size_t i = 1; i < chords; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(chords);
        const double angle = startAngle + direction * sweep * t;
        const double radius = r1 + (r2 - r1) * t;
        GPoint p{};
        p[axes.first] = centre[0] + radius * std::cos(angle);
        p[axes.second] = centre[1] + radius * std::sin(angle);
        p[axes.normal] = start[axes.normal] + (end[axes.normal] - start[axes.normal]) * t;
        points.push_back(p);
    }
    points.push_back(end);
    return true;
}

} // namespace korvane
