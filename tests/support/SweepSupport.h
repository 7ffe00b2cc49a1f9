#pragma once

#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/MotionMap.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <cmath>
#include <cstring>
#include <span>

// Yardsticks for the raster sweeps, shared by the tests and the benchmarks.
namespace korvane::test {

// The sweep written the plain way, one source cell after another, each profile
// point raising its target cell when strictly higher. The program's sweep must
// match it bit for bit.
inline void referenceSweep(const tpix2d& source, std::span<const TPkt3D> profile, tpix2d& target) {
    static const TPkt3D centre{};
    if (profile.empty()) profile = {&centre, 1};
    for (int x = 0; x <= rasterSizeX; ++x)
        for (int y = 0; y <= rasterSizeY; ++y) {
            const float h = source[x][y];
            for (const TPkt3D& p : profile) {
                const int tx = x + p.x, ty = y + p.y;
                if (tx < 0 || tx > rasterSizeX || ty < 0 || ty > rasterSizeY) continue;
                const float v = h - p.z;
                if (v > target[tx][ty]) target[tx][ty] = v;
            }
        }
}

// True when both layers have the same shape and the same bits in every cell.
inline bool bitIdentical(const tpix2d& a, const tpix2d& b) {
    return a.columns() == b.columns() && a.rows() == b.rows() &&
           std::memcmp(a.cells().data(), b.cells().data(), a.cells().size_bytes()) == 0;
}

// A relief of width x depth mm at `cellsPerMm`: gentle waves on a base plate
// of 2 mm, a steep-walled block and a narrow spike, so that both the smooth and
// the steep cases of a sweep occur. Sets the raster size and allocates the layers.
inline void makeRelief(double width, double depth, double cellsPerMm) {
    pixelSize = 1.0 / cellsPerMm;
    modelSize = {static_cast<float>(width), static_cast<float>(depth), 12.0f};
    rasterSizeX = static_cast<int>(std::lround(width * cellsPerMm));
    rasterSizeY = static_cast<int>(std::lround(depth * cellsPerMm));
    rasterSizeZ = static_cast<int>(std::lround((modelSize.z + 10) * cellsPerMm));
    allocateRasters();
    for (int x = 0; x <= rasterSizeX; ++x)
        for (int y = 0; y <= rasterSizeY; ++y) {
            const double u = x * pixelSize, v = y * pixelSize;
            double h = 2 + 3 * (1 + std::sin(u / 9.0) * std::cos(v / 7.0));
            if (u > width * 0.6 && u < width * 0.8 && v > depth * 0.2 && v < depth * 0.5) h = 11;
            if (std::abs(u - width * 0.3) < 0.5 && std::abs(v - depth * 0.7) < 0.5) h = 12;
            if (u < 1 || v < 1) h = 0; // a margin without model
            modelHeights[x][y] = static_cast<float>(h);
        }
}

// The motion map of a ball of `diameter` mm (its body no wider) over the model
// heights without allowance, swept by `workers` threads.
inline void ballMotionMap(double diameter, int workers) {
    TFrezDane ball;
    ball.typ = toolBallNose;
    ball.d1 = ball.d3 = diameter;
    ball.h = ball.hc = 20;
    applyAllowance(0);
    clearLayer(motionHeights);
    sweepTool(TFrez(ball), workers);
}

} // namespace korvane::test
