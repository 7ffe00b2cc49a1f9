#include "app/ReliefMesh.h"

#include <algorithm>
#include <vector>

namespace korvane {

TriangleList reliefTriangles(const tpix2d& heights, double cell, int maxPerSide) {
    TriangleList triangles;
    const int columns = heights.columns(), rows = heights.rows();
    if (columns < 2 || rows < 2 || maxPerSide < 2) return triangles;
    const int step = (std::max(columns, rows) - 1 + maxPerSide - 2) / (maxPerSide - 1);
    auto line = [step](int count) {
        std::vector<int> at;
        for (int i = 0; i < count - 1; i += step) at.push_back(i);
        at.push_back(count - 1);
        return at;
    };
    const std::vector<int> xs = line(columns), ys = line(rows);
    auto point = [&](int ix, int iy) {
        return TrPkt3D{static_cast<float>(ix * cell), static_cast<float>(iy * cell),
                       heights[ix][static_cast<std::size_t>(iy)]};
    };
    triangles.reserve((xs.size() - 1) * (ys.size() - 1) * 2);
    for (std::size_t i = 0; i + 1 < xs.size(); ++i)
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            const TrPkt3D a = point(xs[i], ys[j]), b = point(xs[i + 1], ys[j]),
                          c = point(xs[i + 1], ys[j + 1]), d = point(xs[i], ys[j + 1]);
            triangles.push_back({a, b, c});
            triangles.push_back({a, c, d});
        }
    return triangles;
}

} // namespace korvane
