#pragma once

#include "foundation/Records.h"

#include <optional>

// Exact distances between the tool's parts and one model triangle, in double
// precision: the nearest point to a point, the plan distance from a vertical
// axis to the triangle's section at a height, and the height at which a ball
// lowered along a vertical axis first touches it.
namespace korvane {

struct Point3 {
    double x = 0, y = 0, z = 0;
};

// The point of triangle t nearest to p: the foot on its plane when that lies
// inside, else the nearest point of its edges.
Point3 nearestOnTriangle(const TTrojkat& t, const Point3& p);

// The distance between triangle t and the segment from p to q: 0 where the
// segment passes through it.
double segmentDistance(const TTrojkat& t, const Point3& p, const Point3& q);

// Where the plane z = `z` cuts t, when its lowest vertex lies strictly below and
// its highest strictly above: the point of that section nearest to the vertical
// axis through (x, y), and its plan distance from the axis.
struct SectionPoint {
    double x = 0, y = 0;
    double distance = 0;
};
std::optional<SectionPoint> nearestSectionPoint(const TTrojkat& t, double x, double y, double z);

// The highest centre height at which a ball of radius `radius`, centred on the
// vertical axis through (x, y), touches t (on a face, an edge or a vertex); none
// when the axis passes farther than `radius` from t in plan.
std::optional<double> ballContactHeight(const TTrojkat& t, double x, double y, double radius);

} // namespace korvane
