#include "generation/KorygujSlaveWatek.h"

#include "generation/GenState.h"
#include "generation/PointCorrection.h"
#include "generation/TriangleGrid.h"

namespace korvane {

void cKorygujSlaveWatek::Execute(const PointCorrector& corrector, CorrectionGrids grids) {
    PointCorrector::NearTriangles near;
    auto find = [&grids](PointCorrector::Lookup lookup, double x, double y, double above,
                         std::vector<std::int32_t>& out) {
        (lookup == PointCorrector::Lookup::ball ? grids.ball : grids.flank).near(x, y, above, out);
    };
    for (const CorrectionPoint& c : points_) {
        if (generationTerminate.load(std::memory_order_relaxed)) return;
        if (!c.plane) *c.point = corrector.correct(*c.point, find, near);
        wykonano_.fetch_add(1, std::memory_order_relaxed);
    }
}

} // namespace korvane
