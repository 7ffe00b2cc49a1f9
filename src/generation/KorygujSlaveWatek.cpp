#include "generation/KorygujSlaveWatek.h"

#include "generation/GenState.h"
#include "generation/PointCorrection.h"
#include "generation/TriangleGrid.h"

namespace korvane {

void cKorygujSlaveWatek::Execute(const PointCorrector& corrector, const TriangleGrid& grid) {
    std::vector<std::int32_t> near, scratch;
    for (const CorrectionPoint& c : points_) {
        if (generationTerminate.load(std::memory_order_relaxed)) return;
        if (!c.plane) {
            *c.point = corrector.correct(
                *c.point,
                [&grid](double x, double y, std::vector<std::int32_t>& out) {
                    grid.near(x, y, out);
                },
                near, scratch);
        }
        wykonano_.fetch_add(1, std::memory_order_relaxed);
    }
}

} // namespace korvane
