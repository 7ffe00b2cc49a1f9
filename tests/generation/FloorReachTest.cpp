// The finishing strategies reach the floor of a pocket with steep walls
// wherever the tool fits: the mixed strategy's flat-area rings cover the floor
// a step apart up to the foot of the walls.
#include "SweepSupport.h"
#include "foundation/State.h"
#include "generation/Mieszana.h"
#include "geometry/Raster.h"
#include "libraries/Operacje.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

constexpr double floorHeight = 2;

// A 40 x 30 mm plate at 5 cells per mm, its top waving 1.4 mm about 7 mm, with
// a pocket whose floor lies at 2 mm over [5, 35] x [5, 25] (vertical walls), and
// the motion map of a 3 mm ball over it.
// The ball's tip stands on the floor wherever its axis is 1.5 mm clear of the
// walls: over [6.5, 33.5] x [6.5, 23.5].
void pocketForABall() {
    pixelSize = 0.2;
    modelSize = {40, 30, 8.4f};
    rasterSizeX = 200;
    rasterSizeY = 150;
    rasterSizeZ = 92;
    allocateRasters();
    for (int ix = 0; ix <= rasterSizeX; ++ix)
        for (int iy = 0; iy <= rasterSizeY; ++iy) {
            const double x = ix * pixelSize, y = iy * pixelSize;
            const bool pocket = x >= 5 && x <= 35 && y >= 5 && y <= 25;
            modelHeights[ix][iy] =
                pocket ? float(floorHeight) : float(7 + 1.4 * std::sin(x / 7) * std::cos(y / 7));
        }
    test::ballMotionMap(3, 2);
}

// Marks the cells within `radius` (plan) of the paths' stretches that run at
// most `above` over the floor, sampled every twentieth of a millimetre.
std::vector<std::vector<bool>> cellsNearFloorPaths(const FigureList& figures, double radius,
                                                   double above) {
    std::vector<std::vector<bool>> near(size_t(rasterSizeX + 1),
                                        std::vector<bool>(size_t(rasterSizeY + 1), false));
    const int reach = static_cast<int>(std::ceil(radius / pixelSize));
    auto mark = [&](double x, double y) {
        const int cx = static_cast<int>(std::lround(x / pixelSize));
        const int cy = static_cast<int>(std::lround(y / pixelSize));
        for (int ix = std::max(0, cx - reach); ix <= std::min(rasterSizeX, cx + reach); ++ix)
            for (int iy = std::max(0, cy - reach); iy <= std::min(rasterSizeY, cy + reach); ++iy)
                if (std::hypot(ix * pixelSize - x, iy * pixelSize - y) <= radius)
                    near[size_t(ix)][size_t(iy)] = true;
    };
    for (const auto& f : figures)
        for (size_t k = 1; k < f->poz.size(); ++k) {
            const TrPkt3D &a = f->poz[k - 1], &b = f->poz[k];
            const int n = std::max(1, int(std::hypot(b.x - a.x, b.y - a.y) / 0.05));
            for (int i = 0; i <= n; ++i) {
                const double t = double(i) / n;
                if (a.z + t * (b.z - a.z) <= floorHeight + above)
                    mark(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
            }
        }
    return near;
}

} // namespace

TEST(FloorReach, MixedRingsCoverThePocketFloorAStepApart) {
    pocketForABall();
    TOperacjaDane o;
    o.idTyp = opMixed;
    o.warstwaSzer = 1;
    o.granicaZdolna = 0;
    o.granicaZgorna = 100;
    o.polaczoneKonce = true;
    figureList.clear();
    generujMieszane(o, 1, {});
    const FigureList figures = std::move(figureList);
    // Rings a step (1 mm) apart, inwards from the foot of the walls, leave no
    // floor cell farther than a step and a cell from a path on the floor (the
    // middle of the floor lies up to a step from the innermost rings).
    const auto near = cellsNearFloorPaths(figures, 1.2, 0.01);
    int missed = 0;
    for (int ix = 33; ix <= 167; ++ix) // x 6.6 .. 33.4
        for (int iy = 33; iy <= 117; ++iy) {
            if (near[size_t(ix)][size_t(iy)]) continue;
            if (missed++ == 0)
                ADD_FAILURE() << "no floor path near " << ix * pixelSize << " " << iy * pixelSize;
        }
    EXPECT_EQ(missed, 0);
}
