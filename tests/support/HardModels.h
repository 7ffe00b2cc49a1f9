#pragma once

#include "CorrectionSupport.h"

#include "import/RAWodczytWatek.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Small models made to catch a path that cuts where the raster cannot see:
// features finer than a cell, the free edges of an open surface, overhangs.
namespace korvane::test {

// 24 x 16 mm: a gently waving height field on a 1 mm grid, with single
// vertices raised 4 mm into sharp spikes, a ridge 5 mm high and 0.04 mm wide
// along x = 9, and a cliff 4 mm high rising over 0.02 mm at x = 16.
inline TriangleList spikyRelief() {
    std::vector<double> xs = evenSteps(24, 24), ys = evenSteps(16, 16);
    for (double x : {8.98, 9.02, 15.99, 16.01}) xs.push_back(x);
    std::sort(xs.begin(), xs.end());
    return heightFieldMesh(xs, ys, [](double x, double y) {
        auto at = [&](double px, double py) {
            return std::abs(x - px) < 1e-9 && std::abs(y - py) < 1e-9;
        };
        if (at(6, 5) || at(12, 8) || at(20, 12) || at(3, 13)) return 5.0;
        if (std::abs(x - 9) < 1e-9 && y > 2 && y < 14) return 6.0;
        const double base = 1 + 0.4 * std::sin(x * 0.8) * std::cos(y * 0.6);
        return x >= 16.01 ? base + 4 : base;
    });
}

// A 30 x 20 mm plane at z = 0 and above it an open waving surface over
// [6, 24] x [4, 16], 3.5 to 6.5 mm high, that ends in free edges: the top
// edges of walls the model has no triangles for.
inline TriangleList openSurfaceOverPlane() {
    TriangleList list =
        heightFieldMesh(evenSteps(30, 10), evenSteps(20, 8), [](double, double) { return 0.0; });
    std::vector<double> xs, ys;
    for (int k = 0; k <= 18; ++k) xs.push_back(6 + k);
    for (int k = 0; k <= 12; ++k) ys.push_back(4 + k);
    const TriangleList top = heightFieldMesh(
        xs, ys, [](double x, double y) { return 5 + 1.5 * std::sin(x * 0.7) * std::cos(y * 0.5); });
    list.insert(list.end(), top.begin(), top.end());
    sortByLowestZ(list);
    computePlanes(list);
    return list;
}

// The 12 triangles of the box [x0, x1] x [y0, y1] x [z0, z1].
inline void addBox(TriangleList& list, double x0, double x1, double y0, double y1, double z0,
                   double z1) {
    auto v = [&](int i) {
        return TrPkt3D{float(i & 1 ? x1 : x0), float(i & 2 ? y1 : y0), float(i & 4 ? z1 : z0)};
    };
    static constexpr int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                        {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& f : faces) {
        list.push_back(sortedTriangle(v(f[0]), v(f[1]), v(f[2])));
        list.push_back(sortedTriangle(v(f[0]), v(f[2]), v(f[3])));
    }
}

// A closed part, 24 x 16 mm: a plate 1 mm thick, a mushroom on it (a stem
// under a cap 3 mm thick that overhangs it by 4 mm), and a sharp pyramid 5 mm
// high.
inline TriangleList mushroomOnPlate() {
    TriangleList list;
    addBox(list, 0, 24, 0, 16, 0, 1);
    addBox(list, 11, 15, 6, 10, 1, 6);
    addBox(list, 7, 19, 3, 13, 6, 9);
    const TrPkt3D apex{3, 12, 6}, a{1.5f, 10.5f, 1}, b{4.5f, 10.5f, 1}, c{4.5f, 13.5f, 1},
        d{1.5f, 13.5f, 1};
    for (const auto& [p, q] : {std::pair{a, b}, {b, c}, {c, d}, {d, a}})
        list.push_back(sortedTriangle(p, q, apex));
    list.push_back(sortedTriangle(a, b, c));
    list.push_back(sortedTriangle(a, c, d));
    sortByLowestZ(list);
    computePlanes(list);
    return list;
}

} // namespace korvane::test
