#pragma once

#include "ModelSupport.h"

#include "geometry/Figury.h"

#include <memory>
#include <vector>

// Models and figures for the print tests: boxes as triangle lists and closed
// polygons as figures (the model state a print reads in ModelSupport.h).
namespace korvane::test {

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
