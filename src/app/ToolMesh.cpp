#include "app/ToolMesh.h"

#include "app/ViewGeometry.h"
#include "geometry/Frez.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane {

namespace {

struct Ring {
    double radius, height;
};

// The outline from the tip up: finely over a ball's round, then at the
// heights where the outline bends, then the top.
std::vector<Ring> outline(const TFrezDane& tool) {
    const TFrez shape(tool);
    const double top = std::max({tool.hc, tool.h, tool.d1, tool.d3, 1.0});
    std::vector<double> heights;
    constexpr int roundSteps = 12;
    if (tool.typ == toolBallNose)
        for (int k = 0; k < roundSteps; ++k)
            heights.push_back(tool.d1 / 2 * (1 - std::cos(k * std::numbers::pi / 2 / roundSteps)));
    else
        heights.push_back(0);
    for (const double h : {tool.d1 / 2, tool.h, tool.hc, top})
        if (h > heights.back() && h <= top) heights.push_back(h);
    std::vector<Ring> rings;
    for (const double h : heights)
        rings.push_back({shape.PromienNaWysokosci(static_cast<float>(h)), h});
    return rings;
}

void vertex(std::vector<float>& to, double x, double y, double z, double nx, double ny, double nz) {
    to.insert(to.end(), {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
                         static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz)});
}

} // namespace

std::vector<float> toolMesh(const TFrezDane& tool, int slices) {
    const std::vector<Ring> rings = outline(tool);
    std::vector<float> mesh;
    slices = std::max(slices, 3);
    for (int s = 0; s < slices; ++s) {
        const double a0 = 2 * std::numbers::pi * s / slices,
                     a1 = 2 * std::numbers::pi * (s + 1) / slices;
        const double c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
        if (rings.front().radius > 0) {
            const double r = rings.front().radius;
            vertex(mesh, 0, 0, 0, 0, 0, -1);
            vertex(mesh, r * c1, r * s1, 0, 0, 0, -1);
            vertex(mesh, r * c0, r * s0, 0, 0, 0, -1);
        }
        for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
            const Ring &a = rings[k], &b = rings[k + 1];
            // The side's normal leans down by the outline's widening.
            const double dr = b.radius - a.radius, dh = b.height - a.height;
            const double n = std::hypot(dr, dh), nr = dh / n, nz = -dr / n;
            const double mc = std::cos((a0 + a1) / 2), ms = std::sin((a0 + a1) / 2);
            vertex(mesh, a.radius * c0, a.radius * s0, a.height, nr * mc, nr * ms, nz);
            vertex(mesh, a.radius * c1, a.radius * s1, a.height, nr * mc, nr * ms, nz);
            vertex(mesh, b.radius * c1, b.radius * s1, b.height, nr * mc, nr * ms, nz);
            vertex(mesh, a.radius * c0, a.radius * s0, a.height, nr * mc, nr * ms, nz);
            vertex(mesh, b.radius * c1, b.radius * s1, b.height, nr * mc, nr * ms, nz);
            vertex(mesh, b.radius * c0, b.radius * s0, b.height, nr * mc, nr * ms, nz);
        }
        const double r = rings.back().radius, h = rings.back().height;
        vertex(mesh, 0, 0, h, 0, 0, 1);
        vertex(mesh, r * c0, r * s0, h, 0, 0, 1);
        vertex(mesh, r * c1, r * s1, h, 0, 0, 1);
    }
    static_assert(floatsPerVertex == 6);
    return mesh;
}

} // namespace korvane
