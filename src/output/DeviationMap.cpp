#include "output/DeviationMap.h"

#include <algorithm>

namespace korvane {

DeviationMap compareWithModel(const tpix2d& initial, const tpix2d& remaining, const tpix2d& model,
                              tpix2d reachable, double cell) {
    const int columns =
        std::min({initial.columns(), remaining.columns(), model.columns(), reachable.columns()});
    const int rows = std::min({initial.rows(), remaining.rows(), model.rows(), reachable.rows()});
    DeviationMap map;
    map.reachable = std::move(reachable);
    map.deviation.resize(columns, rows);
    DeviationFigures& f = map.figures;
    double removed = 0;
    long long gouged = 0;
    for (int ix = 0; ix < columns; ++ix) {
        for (int iy = 0; iy < rows; ++iy) {
            const auto i = static_cast<std::size_t>(iy);
            const double left = static_cast<double>(remaining[ix][i]) - model[ix][i];
            map.deviation[ix][i] = static_cast<float>(left);
            removed += std::max(0.0, static_cast<double>(initial[ix][i]) - remaining[ix][i]);
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
        }
    }
    f.volumeRemoved = removed * cell * cell;
    f.gougedArea = static_cast<double>(gouged) * cell * cell;
    return map;
}

} // namespace korvane
