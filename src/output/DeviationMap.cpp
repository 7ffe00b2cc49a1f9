#include "output/DeviationMap.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

// The cosine of the surface's slope at a cell: its differences to the
// neighbours either side (one side at the edge of the layer).
double slopeCosine(const tpix2d& surface, int ix, int iy, int columns, int rows, double cell) {
    auto difference = [&](int x0, int y0, int x1, int y1) {
        if (x0 == x1 && y0 == y1) return 0.0;
        const double dz = static_cast<double>(surface[x1][static_cast<std::size_t>(y1)]) -
                          surface[x0][static_cast<std::size_t>(y0)];
        return dz / ((x1 - x0 + y1 - y0) * cell);
    };
    const double gx = difference(std::max(ix - 1, 0), iy, std::min(ix + 1, columns - 1), iy);
    const double gy = difference(ix, std::max(iy - 1, 0), ix, std::min(iy + 1, rows - 1));
    return 1 / std::sqrt(1 + gx * gx + gy * gy);
}

} // namespace

DeviationMap compareWithModel(const tpix2d& initial, const tpix2d& remaining, const tpix2d& model,
                              tpix2d reachable, double cell) {
    const int columns =
        std::min({initial.columns(), remaining.columns(), model.columns(), reachable.columns()});
    const int rows = std::min({initial.rows(), remaining.rows(), model.rows(), reachable.rows()});
    DeviationMap map;
    map.reachable = std::move(reachable);
    map.deviation.resize(columns, rows);
    map.thicknessLeft.resize(columns, rows);
    map.reachGap.resize(columns, rows);
    DeviationFigures& f = map.figures;
    double removed = 0;
    long long gouged = 0;
    for (int ix = 0; ix < columns; ++ix) {
        for (int iy = 0; iy < rows; ++iy) {
            const auto i = static_cast<std::size_t>(iy);
            const double left = static_cast<double>(remaining[ix][i]) - model[ix][i];
            map.deviation[ix][i] = static_cast<float>(left);
            // The material stands on the table at 0: a cut below it removes
            // no more than the material's whole height.
            const double bottom = std::max(0.0, static_cast<double>(remaining[ix][i]));
            removed += std::max(0.0, static_cast<double>(initial[ix][i]) - bottom);
            f.largestMaterialLeft = std::max(f.largestMaterialLeft, left);
            if (-left > f.largestGouge) {
                f.largestGouge = -left;
                f.gougeX = ix * cell;
                f.gougeY = iy * cell;
            }
            if (-left > gougeThreshold) ++gouged;
            const double unreached = static_cast<double>(remaining[ix][i]) - map.reachable[ix][i];
            if (unreached > f.largestLeftAboveReach) {
                f.largestLeftAboveReach = unreached;
                f.leftAboveReachX = ix * cell;
                f.leftAboveReachY = iy * cell;
            }
            const double reach = map.reachable[ix][i];
            if (!std::isfinite(reach)) {
                map.reachGap[ix][i] = std::numeric_limits<float>::infinity();
                continue;
            }
            const double cosine = slopeCosine(map.reachable, ix, iy, columns, rows, cell);
            map.reachGap[ix][i] = static_cast<float>((reach - model[ix][i]) * cosine);
            if (unreached > 0) {
                const double thickness = unreached * cosine;
                map.thicknessLeft[ix][i] = static_cast<float>(thickness);
                if (thickness > f.largestThicknessLeft) {
                    f.largestThicknessLeft = thickness;
                    f.thicknessLeftX = ix * cell;
                    f.thicknessLeftY = iy * cell;
                }
            }
        }
    }
    f.volumeRemoved = removed * cell * cell;
    f.gougedArea = static_cast<double>(gouged) * cell * cell;
    return map;
}

} // namespace korvane
