// Hatching strokes and surface following over a prepared motion map.
#include "generation/Kreski.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/MotionMap.h"
#include "geometry/Raster.h"
#include "libraries/Operacje.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace korvane;

namespace {

// A raster of X x Y mm at 1 cell per mm whose motion map is height(ix, iy).
template <class F> void motionMap(int X, int Y, F height) {
    pixelSize = 1;
    rasterSizeX = X;
    rasterSizeY = Y;
    modelSize = {float(X), float(Y), 5};
    allocateRasters();
    for (int ix = 0; ix <= X; ++ix)
        for (int iy = 0; iy <= Y; ++iy) motionHeights[ix][iy] = height(ix, iy);
}

class Kreski : public ::testing::Test {
  protected:
    void SetUp() override {
        figureList.clear();
        generationTerminate = false;
        lowLimit = 0;
        highLimit = 100;
        motionMap(10, 10, [](int, int) { return 2.0f; });
    }
    void TearDown() override { figureList.clear(); }
};

constexpr double deg = std::numbers::pi / 180;

} // namespace

TEST_F(Kreski, StrokesAlongXWithALastOneOnTheEdge) {
    hatchLines(false, 0, 3, 10, 10);
    ASSERT_EQ(figureList.size(), 5u);
    const float ys[] = {0, 3, 6, 9, 10};
    for (size_t i = 0; i < 5; ++i) {
        const auto& p = figureList[i]->poz;
        EXPECT_EQ(p.front().y, ys[i]);
        EXPECT_EQ(p.front().x, 0.0f);
        EXPECT_EQ(p.back().x, 10.0f);
        EXPECT_EQ(p.size(), 11u);
        EXPECT_EQ(p.front().z, 2.0f);
        EXPECT_FALSE(figureList[i]->warstwa);
    }
    figureList.clear();
    hatchLines(false, 180 * deg, 3, 10, 10); // 180 degrees is 0
    EXPECT_EQ(figureList.size(), 5u);
    figureList.clear();
    hatchLines(false, 0, 0, 10, 10); // no spacing: nothing, and no endless loop
    EXPECT_TRUE(figureList.empty());
}

TEST_F(Kreski, StrokesAlongYByTheSignOfTheAngle) {
    hatchLines(false, 90 * deg, 5, 10, 10);
    ASSERT_EQ(figureList.size(), 3u);
    EXPECT_EQ(figureList[0]->poz.front().y, 0.0f);
    EXPECT_EQ(figureList[0]->poz.back().y, 10.0f);
    figureList.clear();
    hatchLines(false, -90 * deg, 5, 10, 10);
    ASSERT_EQ(figureList.size(), 3u);
    EXPECT_EQ(figureList[2]->poz.front().x, 10.0f);
    EXPECT_EQ(figureList[2]->poz.front().y, 10.0f);
    EXPECT_EQ(figureList[2]->poz.back().y, 0.0f);
}

TEST_F(Kreski, DiagonalStrokesStartInTheCorners) {
    hatchLines(false, 45 * deg, 1, 10, 10);
    ASSERT_GT(figureList.size(), 10u);
    const auto& first = figureList.front()->poz;
    EXPECT_NEAR(first.front().x, 10, 1e-4); // the bottom-right corner
    EXPECT_NEAR(first.front().y, 0, 1e-4);
    const auto& last = figureList.back()->poz;
    EXPECT_NEAR(last.front().x, 0, 1e-4); // the top-left corner region
    EXPECT_GT(last.front().y, 9);
    for (const auto& f : figureList)
        for (const auto& p : f->poz) {
            EXPECT_GE(p.x, -1e-4);
            EXPECT_LE(p.x, 10 + 1e-4);
            EXPECT_GE(p.y, -1e-4);
            EXPECT_LE(p.y, 10 + 1e-4);
        }
    figureList.clear();
    hatchLines(false, -45 * deg, 1, 10, 10);
    ASSERT_GT(figureList.size(), 10u);
    EXPECT_NEAR(figureList.front()->poz.front().y, 10, 1e-4); // top-right corner first
    EXPECT_NEAR(figureList.front()->poz.back().x, 10, 1e-4);
}

TEST_F(Kreski, JoinedStrokesAlternate) {
    hatchLines(true, 0, 5, 10, 10);
    ASSERT_EQ(figureList.size(), 1u);
    const tFigura& f = *figureList[0];
    EXPECT_TRUE(f.warstwa);
    ASSERT_EQ(f.count(), 33);
    EXPECT_EQ(f.poz[0].x, 0.0f);
    EXPECT_EQ(f.poz[10].x, 10.0f);
    EXPECT_EQ(f.poz[11].x, 10.0f); // the second stroke runs back
    EXPECT_EQ(f.poz[11].y, 5.0f);
    EXPECT_EQ(f.poz[21].x, 0.0f);
    EXPECT_EQ(f.poz[32].x, 10.0f);
}

TEST_F(Kreski, HeightWindowSplitsStrokes) {
    // A ridge at x = 4..6 rises above the window.
    motionMap(10, 2, [](int ix, int) { return ix >= 4 && ix <= 6 ? 8.0f : 1.0f; });
    highLimit = 5;
    followSurface({0, 1, 0}, {10, 1, 0});
    ASSERT_EQ(figureList.size(), 2u);
    EXPECT_EQ(figureList[0]->poz.back().x, 3.0f);
    EXPECT_EQ(figureList[1]->poz.front().x, 7.0f);
    lowLimit = 6;
    highLimit = 10;
    figureList.clear();
    followSurface({0, 1, 0}, {10, 1, 0});
    ASSERT_EQ(figureList.size(), 1u);
    EXPECT_EQ(figureList[0]->count(), 3);
    lowLimit = 20;
    figureList.clear();
    followSurface({0, 1, 0}, {10, 1, 0});
    EXPECT_TRUE(figureList.empty());
}

TEST_F(Kreski, SmoothedStrokesReachTheFloorAtTheFootOfAWall) {
    // A wall rising 1.4 mm per cell left of x = 10 over a floor at 2 mm: the
    // strokes along x come down the wall onto the floor. Their smoothing
    // would round the hollow at the wall's foot off above the floor; no point
    // may stand more than a tenth of a cell over the map, and the first point
    // on the floor lies within a cell of the foot.
    motionMap(20, 4, [](int ix, int) { return ix < 10 ? 2 + 1.4f * float(10 - ix) : 2.0f; });
    TOperacjaDane o;
    o.warstwaSzer = 2;
    o.granicaZdolna = 0;
    o.granicaZgorna = 100;
    o.polaczoneKonce = false;
    generujKreski(o);
    ASSERT_EQ(figureList.size(), 3u); // y = 0, 2, 4
    for (const auto& f : figureList) {
        for (const TrPkt3D& p : f->poz) {
            const double map = motionHeightInterpolated(p);
            EXPECT_GE(p.z, map - 1e-4) << p.x;
            EXPECT_LE(p.z, map + 0.1 + 1e-4) << p.x;
        }
        // The floor is reached within a cell of the wall's foot.
        const auto floor =
            std::find_if(f->poz.begin(), f->poz.end(), [](const TrPkt3D& p) { return p.x >= 10; });
        ASSERT_NE(floor, f->poz.end());
        EXPECT_LT(floor->x, 11);
        EXPECT_LE(floor->z, 2.1 + 1e-4);
    }
}
