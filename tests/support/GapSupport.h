#pragma once

#include "generation/DodatkoweWatek.h"
#include "geometry/Figury.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// The gaps of the mixed strategy found the plain way, every point of a contour
// against every point of its parent. The program's search must give the same
// jobs.
namespace korvane::test {

inline std::vector<GapJob> referenceGapJobs(int count, double warstwaSzer) {
    std::vector<GapJob> jobs;
    for (int i = 0; i < count; ++i) {
        const tFigura& f = *figureList[size_t(i)];
        if (f.pochodzi < 0 || f.pochodzi >= count) continue;
        const tFigura& parent = *figureList[size_t(f.pochodzi)];
        double gap = 0;
        for (const TrPkt3D& p : f.poz) {
            double nearest = std::numeric_limits<double>::infinity();
            for (const TrPkt3D& q : parent.poz) nearest = std::min(nearest, distance3(p, q));
            gap = std::max(gap, nearest);
        }
        const double n = std::nearbyint(gap / warstwaSzer) - 1;
        if (gap > 1.3 * warstwaSzer && n < 20)
            jobs.push_back({i, static_cast<int>(n), static_cast<float>(f.fig_ppz - parent.fig_ppz),
                            static_cast<float>(parent.fig_ppz)});
    }
    return jobs;
}

inline bool sameJobs(const std::vector<GapJob>& a, const std::vector<GapJob>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const GapJob& x, const GapJob& y) {
        return x.Locali == y.Locali && x.Localilosc == y.Localilosc && x.Localdz == y.Localdz &&
               x.Localz == y.Localz;
    });
}

} // namespace korvane::test
