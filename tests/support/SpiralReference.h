#pragma once

#include "generation/MotionMap.h"
#include "geometry/Figury.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <vector>

// The spiral transition written the plain way, every point of the upper
// contour measured for every point of the lower one: the program's, which
// looks the points up in plan squares, must match it bit for bit.
namespace korvane::test {

inline std::vector<TrPkt3D> referenceSpiralTransition(const tFigura& upper, const tFigura& lower,
                                                      double& widest) {
    const std::size_t n = lower.poz.size() - 1;
    std::vector<TrPkt3D> points;
    widest = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const TrPkt3D& p = lower.poz[k];
        const TrPkt3D* nearest = &upper.poz.front();
        double best = std::numeric_limits<double>::infinity();
        for (const TrPkt3D& q : upper.poz) {
            const double d = distance3(p, q);
            if (d < best) best = d, nearest = &q;
        }
        widest = std::max(widest, best);
        const float share = static_cast<float>(1 - double(k) / double(n));
        TrPkt3D q{p.x + share * (nearest->x - p.x), p.y + share * (nearest->y - p.y),
                  p.z + share * (nearest->z - p.z)};
        q.z = std::max(q.z, static_cast<float>(motionHeightInterpolated(q)));
        points.push_back(q);
    }
    return points;
}

// Two lists of points with the same bits.
inline bool samePoints(const std::vector<TrPkt3D>& a, const std::vector<TrPkt3D>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(),
        [](const TrPkt3D& p, const TrPkt3D& q) { return std::memcmp(&p, &q, sizeof p) == 0; });
}

} // namespace korvane::test
