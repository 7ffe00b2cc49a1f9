#pragma once

#include "ModelSupport.h"

#include "foundation/State.h"
#include "generation/RawDoPixWatek.h"
#include "generation/TriangleDistance.h"
#include "generation/TriangleGrid.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"
#include "import/RAWodczytWatek.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

// Yardsticks and models for the path correction, shared by the tests and the
// benchmarks: the plain scan of the whole triangle list that the spatial index
// must match, a brute-force distance, and test meshes.
namespace korvane::test {

// Every triangle whose plan box grown by `reach` holds (x, y) and whose highest
// vertex lies above `above`, ascending.
inline void scanNear(const TriangleList& triangles, double reach, double x, double y, double above,
                     std::vector<std::int32_t>& out) {
    out.clear();
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const TTrojkat& t = triangles[i];
        if (double(std::max({t.a.z, t.b.z, t.c.z})) > above && holds(grownBox(t, reach), x, y))
            out.push_back(std::int32_t(i));
    }
}

// The distance from p to the nearest of all triangles.
inline double distanceToModel(const TriangleList& triangles, const Point3& p) {
    double best = std::numeric_limits<double>::infinity();
    for (const TTrojkat& t : triangles) {
        const Point3 q = nearestOnTriangle(t, p);
        best = std::min(best, std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) +
                                        (p.z - q.z) * (p.z - q.z)));
    }
    return best;
}

// The exact height of a ball's tip lowered at (x, y) until it touches: the
// highest touching centre height less the radius; none when nothing lies under it.
inline double ballTipHeight(const TriangleList& triangles, const std::vector<std::int32_t>& near,
                            double radius, double x, double y) {
    double top = -std::numeric_limits<double>::infinity();
    for (const std::int32_t i : near)
        if (const auto h = ballContactHeight(triangles[size_t(i)], x, y, radius))
            top = std::max(top, *h);
    return top - radius;
}

// A triangle with its vertices sorted by height, as a loaded model holds it.
inline TTrojkat sortedTriangle(TrPkt3D a, TrPkt3D b, TrPkt3D c) {
    if (a.z > b.z) std::swap(a, b);
    if (b.z > c.z) std::swap(b, c);
    if (a.z > b.z) std::swap(a, b);
    return {a, b, c};
}

// A height field over [0, xs.back()] x [0, ys.back()] as two triangles per grid
// square, sorted by their lowest vertex as a loaded model is.
template <class Height>
TriangleList heightFieldMesh(const std::vector<double>& xs, const std::vector<double>& ys,
                             Height height) {
    TriangleList list;
    auto v = [&](std::size_t i, std::size_t j) {
        return TrPkt3D{float(xs[i]), float(ys[j]), float(height(xs[i], ys[j]))};
    };
    for (std::size_t i = 0; i + 1 < xs.size(); ++i)
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            list.push_back(sortedTriangle(v(i, j), v(i + 1, j), v(i + 1, j + 1)));
            list.push_back(sortedTriangle(v(i, j), v(i + 1, j + 1), v(i, j + 1)));
        }
    sortByLowestZ(list);
    computePlanes(list);
    return list;
}

inline std::vector<double> evenSteps(double to, int count) {
    std::vector<double> v;
    for (int k = 0; k <= count; ++k) v.push_back(to * k / count);
    return v;
}

// 40 x 30 mm: a sharp ridge 8 mm high along x = 12, a block 6 mm high between
// x = 26 and 32 with walls rising over 0.02 mm, on a gently waving base.
inline TriangleList ridgeAndWallMesh() {
    std::vector<double> xs = evenSteps(40, 80);
    for (double x : {25.99, 26.01, 31.99, 32.01}) xs.push_back(x);
    std::sort(xs.begin(), xs.end());
    return heightFieldMesh(xs, evenSteps(30, 60), [](double x, double y) {
        const double base = 0.5 + 0.3 * std::sin(x * 0.4) * std::cos(y * 0.3);
        const double ridge = std::max(0.0, 8 - 2 * std::abs(x - 12));
        const double block = x >= 26.01 && x <= 31.99 ? 6.0 : 0.0;
        return std::max({base, ridge, block});
    });
}

// Puts `triangles` in as the loaded model and builds its raster at `cellsPerMm`.
inline void useModel(TriangleList triangles, double cellsPerMm) {
    useTriangles(std::move(triangles), 1.0 / cellsPerMm);
    TRawDoPix raster;
    raster.Inicjuj(&modelTriangles, &modelHeights, false, &modelExtents);
    raster.Execute();
    fillMaterialRaster(1000);
    rasterReady = true;
    materialRasterReady = true;
}

// Reads a model file as the loading thread does.
inline TriangleList readModel(const std::filesystem::path& file) {
    ReadModel model = readModelFile(file, 1.0);
    TModel record;
    TrPkt3D size;
    placeModel(model, file, record, size);
    sortVertices(model.triangles);
    sortByLowestZ(model.triangles);
    computePlanes(model.triangles);
    return std::move(model.triangles);
}

// A copy of the figures' points, figure by figure.
inline std::vector<std::vector<TrPkt3D>> pointsOf(const FigureList& list) {
    std::vector<std::vector<TrPkt3D>> points;
    for (const auto& f : list) points.push_back(f->poz);
    return points;
}

// How deep the tips of a ball of `radius` lie below where the ball, lowered at
// each point, first touches the triangles.
struct DepthBelowBall {
    long long points = 0;
    long long below = 0;     // more than 1 micrometre below
    long long belowStep = 0; // more than 0.01 mm (a machine step) below
    long long deep = 0;      // more than 0.5 mm below
    double worst = 0;        // the largest depth, mm
};

inline DepthBelowBall depthBelowBall(const TriangleList& triangles, const FigureList& figures,
                                     double radius) {
    DepthBelowBall d;
    const TriangleGrid grid(triangles, radius);
    std::vector<std::int32_t> near;
    for (const auto& f : figures)
        for (const TrPkt3D& p : f->poz) {
            ++d.points;
            grid.near(p.x, p.y, -std::numeric_limits<double>::infinity(), near);
            const double depth = ballTipHeight(triangles, near, radius, p.x, p.y) - p.z;
            if (depth > 1e-6) ++d.below;
            if (depth > 0.01) ++d.belowStep;
            if (depth > 0.5) ++d.deep;
            d.worst = std::max(d.worst, depth);
        }
    return d;
}

} // namespace korvane::test
