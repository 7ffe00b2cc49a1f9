#include "generation/KorygujSlaveWatek.h"

#include "generation/GenState.h"
#include "generation/PointCorrection.h"
#include "generation/TriangleGrid.h"

namespace korvane {

void cKorygujSlaveWatek::Execute(const PointCorrector& corrector, CorrectionGrids grids) {
    PointCorrector::NearTriangles near;
    const bool ball = corrector.ball();
    auto find = [&](double x, double y, PointCorrector::NearTriangles& out) {
        if (ball) grids.ball.near(x, y, out.ball);
        grids.flank.near(x, y, out.flank);
    };
    for (const CorrectionPoint& c : points_) {
        if (generationTerminate.load(std::memory_order_relaxed)) return;
        if (!c.plane) *c.point = corrector.correct(*c.point, find, near);
        wykonano_.fetch_add(1, std::memory_order_relaxed);
    }
}

} // namespace korvane
