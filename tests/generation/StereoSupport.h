#pragma once

#include "foundation/State.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <memory>
#include <vector>

// Models and figures for the print tests: boxes as triangle lists, closed
// polygons as figures, and the model state a print reads.
namespace korvane::test {

inline TTrojkat triangle(TrPkt3D a, TrPkt3D b, TrPkt3D c) {
    TTrojkat t;
    t.a = a;
    t.b = b;
    t.c = c;
    return t;
}

// The twelve triangles of the box [x0, x1] x [y0, y1] x [z0, z1]; every side
// face is split along a diagonal from a bottom corner to a top corner.
inline void addBox(TriangleList& list, float x0, float y0, float z0, float x1, float y1, float z1) {
    const TrPkt3D p[8] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                          {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
    const int faces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                             {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (const auto& f : faces) {
        list.push_back(triangle(p[f[0]], p[f[1]], p[f[2]]));
        list.push_back(triangle(p[f[0]], p[f[2]], p[f[3]]));
    }
}

// Puts `triangles` in as the loaded model (its smallest x and y at 0) with
// cells of `cell` mm.
inline void useTriangles(TriangleList triangles, double cell) {
    modelTriangles = std::move(triangles);
    modelSize = {};
    for (const TTrojkat& t : modelTriangles)
        for (const TrPkt3D& v : {t.a, t.b, t.c}) {
            modelSize.x = std::max(modelSize.x, v.x);
            modelSize.y = std::max(modelSize.y, v.y);
            modelSize.z = std::max(modelSize.z, v.z);
        }
    modelExtents = TModel{};
    modelExtents.maxX = modelSize.x;
    modelExtents.maxY = modelSize.y;
    modelExtents.maxZ = modelSize.z;
    pixelSize = cell;
    setRasterSizeFromModel();
}

// A closed figure through `corners` (and back to the first) at height z.
inline std::unique_ptr<tFigura> polygon(std::vector<std::pair<float, float>> corners, float z = 0) {
    auto f = std::make_unique<tFigura>();
    for (const auto& [x, y] : corners) f->poz.push_back({x, y, z});
    f->poz.push_back(f->poz.front());
    f->zamknieta = true;
    f->PoliczSrodek();
    return f;
}

inline std::unique_ptr<tFigura> square(float x0, float y0, float x1, float y1, float z = 0) {
    return polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, z);
}

} // namespace korvane::test
