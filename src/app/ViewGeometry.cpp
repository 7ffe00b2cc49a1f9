#include "app/ViewGeometry.h"

namespace korvane {

std::vector<float> triangleVertexData(const TriangleList& triangles) {
    std::vector<float> data;
    data.reserve(triangles.size() * 3 * floatsPerVertex);
    for (const TTrojkat& t : triangles) {
        const float ux = t.b.x - t.a.x, uy = t.b.y - t.a.y, uz = t.b.z - t.a.z;
        const float vx = t.c.x - t.a.x, vy = t.c.y - t.a.y, vz = t.c.z - t.a.z;
        const float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        for (const TrPkt3D& p : {t.a, t.b, t.c})
            data.insert(data.end(), {p.x, p.y, p.z, nx, ny, nz});
    }
    return data;
}

LineStrips figureLineStrips(const FigureList& figures) {
    LineStrips strips;
    for (const auto& f : figures) {
        if (f->poz.empty()) continue;
        strips.first.push_back(static_cast<int>(strips.points.size() / 3));
        strips.count.push_back(f->count());
        for (const TrPkt3D& p : f->poz) strips.points.insert(strips.points.end(), {p.x, p.y, p.z});
    }
    return strips;
}

} // namespace korvane
