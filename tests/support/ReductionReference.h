#pragma once

// The reduction of a figure written plainly: for every new end point, the
// deviation of every point since the last one kept from the straight run to
// it, worked out in full. The program's reduction must keep the same points.
#include "geometry/Figury.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvane::test {

inline std::vector<TrPkt3D> plainReduction(const std::vector<TrPkt3D>& p, double tolerance) {
    if (p.size() <= 2) return p;
    auto plan = [](const TrPkt3D& a, const TrPkt3D& b) {
        return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
    };
    auto line = [](double px, double py, double ax, double ay, double bx, double by) {
        const double dx = bx - ax, dy = by - ay;
        const double length = std::hypot(dx, dy);
        if (length == 0) return std::hypot(px - ax, py - ay);
        return std::fabs(dx * (py - ay) - dy * (px - ax)) / length;
    };
    auto segment = [&](double px, double py, double ax, double ay, double bx, double by) {
        const double dx = bx - ax, dy = by - ay;
        const double length2 = dx * dx + dy * dy;
        const double t = length2 == 0 ? 0 : ((px - ax) * dx + (py - ay) * dy) / length2;
        if (t <= 0) return std::hypot(px - ax, py - ay);
        if (t >= 1) return std::hypot(px - bx, py - by);
        return line(px, py, ax, ay, bx, by);
    };
    std::vector<TrPkt3D> kept{p[0]};
    std::size_t a = 0;
    bool previousFlat = true;
    for (std::size_t q = 2; q < p.size(); ++q) {
        double maxDev = 0;
        for (std::size_t k = a + 1; k < q; ++k) {
            const double e1 = segment(p[k].x, p[k].y, p[a].x, p[a].y, p[q].x, p[q].y);
            const double e2 = line(plan(p[a], p[k]), p[k].z, 0, p[a].z, plan(p[a], p[q]), p[q].z);
            maxDev = std::max(maxDev, std::sqrt(e1 * e1 + e2 * e2));
        }
        const bool flat = std::fabs(double(p[q].z) - p[q - 1].z) < 0.001;
        if (maxDev >= tolerance || flat != previousFlat) {
            kept.push_back(p[q - 1]);
            a = q - 1;
        }
        previousFlat = flat;
    }
    kept.push_back(p.back());
    return kept;
}

} // namespace korvane::test
