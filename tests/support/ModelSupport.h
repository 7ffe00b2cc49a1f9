#pragma once

#include "foundation/State.h"
#include "geometry/Raster.h"

#include <algorithm>

// A triangle list made the loaded model, for tests and benchmarks that build
// their models by hand.
namespace korvane::test {

inline TTrojkat triangle(TrPkt3D a, TrPkt3D b, TrPkt3D c) {
    TTrojkat t;
    t.a = a;
    t.b = b;
    t.c = c;
    return t;
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

} // namespace korvane::test
