// Reduction, smoothing and tidying of figures.
#include "generation/Redukcja.h"
#include "ReductionReference.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/MotionMap.h"
#include "geometry/Raster.h"

#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

using namespace korvane;

namespace {

tFigura& addPoints(const std::vector<TrPkt3D>& points) {
    auto f = std::make_unique<tFigura>();
    f->poz = points;
    addFigure(std::move(f));
    return *figureList.back();
}

class Redukcja : public ::testing::Test {
  protected:
    void SetUp() override {
        pixelSize = 0.2;
        cornerAngle = 150;
        figureList.clear();
        generationTerminate = false;
    }
    void TearDown() override { figureList.clear(); }
};

} // namespace

TEST_F(Redukcja, StraightLevelLineKeepsItsEnds) {
    std::vector<TrPkt3D> line;
    for (int i = 0; i < 100; ++i) line.push_back({i * 0.2f, i * 0.1f, 3});
    addPoints(line);
    reduceFigure(0, 0.05);
    ASSERT_EQ(figureList[0]->count(), 2);
    EXPECT_EQ(figureList[0]->poz[1].x, line.back().x);
}

TEST_F(Redukcja, SlopeChangesAreKept) {
    // Level 0..10, climbing 10..20 by 0.0005 per step (below the tolerance),
    // level again 20..30.
    std::vector<TrPkt3D> path;
    for (int i = 0; i <= 30; ++i) {
        const float z = i <= 10 ? 0.0f : i <= 20 ? (i - 10) * 0.002f : 0.02f;
        path.push_back({float(i), 0, z});
    }
    addPoints(path);
    reduceFigure(0, 0.05);
    const auto& p = figureList[0]->poz;
    auto kept = [&](float x) {
        for (const auto& q : p)
            if (q.x == x) return true;
        return false;
    };
    EXPECT_TRUE(kept(10)) << p.size();
    EXPECT_TRUE(kept(20));
    EXPECT_TRUE(kept(0));
    EXPECT_TRUE(kept(30));
    EXPECT_LT(p.size(), 10u);
}

TEST_F(Redukcja, DeviationAboveToleranceKeepsTheBend) {
    addPoints({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {2, 2, 0}});
    reduceFigure(0, 0.05);
    const auto& p = figureList[0]->poz;
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[1].x, 2.0f);
    EXPECT_EQ(p[1].y, 0.0f);
}

TEST_F(Redukcja, APathThatTurnsBackAlongItsLineKeepsTheTurn) {
    // Out to x = 3 and back past the start to x = -2, all on one line: the
    // turning point lies 3 mm beyond the segment from the start to the end.
    addPoints({{0, 0, 1}, {1, 0, 1}, {3, 0, 1}, {1, 0, 1}, {-2, 0, 1}});
    reduceFigure(0, 0.05);
    const auto& p = figureList[0]->poz;
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].x, 0.0f);
    EXPECT_EQ(p[1].x, 3.0f);
    EXPECT_EQ(p[2].x, -2.0f);
}

// Figures made to be hard for a reduction that skips work: long straight
// runs in plan and in slope, gentle arcs just inside and outside the
// tolerance, a spiral, zigzags, reversals along the line, noise of the size of
// the tolerance, points that repeat, and a run that comes back towards its
// anchor. Every one keeps exactly the points the plain reduction keeps.
TEST_F(Redukcja, KeepsThePointsThePlainReductionKeeps) {
    std::vector<std::vector<TrPkt3D>> figures;
    std::vector<TrPkt3D> f;
    for (int i = 0; i < 3000; ++i)
        f.push_back({i * 0.05f, i * 0.02f, i < 1500 ? 2.0f : 2.0f + (i - 1500) * 0.01f});
    figures.push_back(f);
    for (double radius : {50.0, 400.0, 4000.0}) {
        f.clear();
        for (int i = 0; i < 2000; ++i) {
            const double t = i * 0.2 / radius;
            f.push_back({static_cast<float>(radius * std::cos(t)),
                         static_cast<float>(radius * std::sin(t)),
                         static_cast<float>(1 + 0.3 * t)});
        }
        figures.push_back(f);
    }
    f.clear();
    for (int i = 0; i < 3000; ++i) {
        const double t = i * 0.01, r = 1 + 0.05 * t;
        f.push_back({static_cast<float>(r * std::cos(t)), static_cast<float>(r * std::sin(t)),
                     static_cast<float>(-0.001 * i)});
    }
    figures.push_back(f);
    f.clear();
    for (int i = 0; i < 2000; ++i)
        f.push_back({static_cast<float>((i / 50) % 2 ? 50 - i % 50 : i % 50),
                     static_cast<float>(i / 50 * 0.2), static_cast<float>((i % 7) * 0.0004)});
    figures.push_back(f);
    f.clear();
    std::uint32_t seed = 7;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return ((seed >> 8) & 0xFFFF) / 65536.0 - 0.5;
    };
    for (int i = 0; i < 3000; ++i) {
        const float x = static_cast<float>(i % 600 < 300 ? i % 600 * 0.1 : (600 - i % 600) * 0.1);
        f.push_back({x, static_cast<float>(0.1 * next()), static_cast<float>(0.1 * next())});
        if (i % 97 == 0) f.push_back(f.back());
    }
    figures.push_back(f);
    f = {{0, 0, 0},     {10, 0, 0}, {20, 0, 0},   {30, 0.01f, 0},    {25, 0, 0},
         {5, 0.02f, 0}, {1, 0, 0},  {0.5f, 0, 0}, {0.4f, 0.001f, 0}, {40, 0, 0}};
    figures.push_back(f);

    for (double tolerance : {0.05, 0.01, 0.002}) {
        for (std::size_t i = 0; i < figures.size(); ++i) {
            figureList.clear();
            addPoints(figures[i]);
            reduceFigure(0, tolerance);
            const auto want = test::plainReduction(figures[i], tolerance);
            const auto& got = figureList[0]->poz;
            ASSERT_EQ(got.size(), want.size()) << "figure " << i << " tolerance " << tolerance;
            for (std::size_t k = 0; k < want.size(); ++k)
                ASSERT_TRUE(got[k].x == want[k].x && got[k].y == want[k].y && got[k].z == want[k].z)
                    << "figure " << i << " tolerance " << tolerance << " point " << k;
        }
    }
}

TEST_F(Redukcja, SmoothingAndCorners) {
    std::vector<TrPkt3D> rectangle;
    for (int i = 0; i <= 10; ++i) rectangle.push_back({float(i), 0, 0});
    for (int i = 1; i <= 10; ++i) rectangle.push_back({10, float(i), 0});
    tFigura& withCheck = addPoints(rectangle);
    tFigura& without = addPoints(rectangle);
    smoothFigure(0, 4, true);
    smoothFigure(1, 4, false);
    EXPECT_EQ(withCheck.poz[10].x, 10.0f);
    EXPECT_EQ(withCheck.poz[10].y, 0.0f);
    EXPECT_LT(without.poz[10].x, 10.0f);
    EXPECT_GT(without.poz[10].y, 0.0f);
    // A straight run stays straight.
    EXPECT_EQ(withCheck.poz[3].y, 0.0f);
}

TEST_F(Redukcja, ClosedFigureStaysClosed) {
    tFigura& f = addPoints({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}});
    f.zamknieta = true;
    smoothFigure(0, 2, false);
    EXPECT_EQ(f.poz.front().x, f.poz.back().x);
    EXPECT_EQ(f.poz.front().y, f.poz.back().y);
}

TEST_F(Redukcja, UsrednijAndUsunFiguryPunkty) {
    std::vector<TrPkt3D> zigzag;
    for (int i = 0; i < 24; ++i) zigzag.push_back({float(i), float(i % 2), 0});
    addPoints(zigzag);
    zigzag.push_back({24, 0, 0});
    addPoints(zigzag);
    usrednij(0);
    EXPECT_EQ(figureList[0]->poz[1].y, 1.0f);
    EXPECT_FALSE(figureList[0]->usredniona);
    EXPECT_NE(figureList[1]->poz[1].y, 1.0f);
    EXPECT_TRUE(figureList[1]->usredniona);

    figureList.clear();
    pixelSize = 0.25;
    addPoints({{0, 0, 0}});
    addPoints({{0, 0, 0}, {0, 0.5f, 0}});
    addPoints({{0, 0, 0}, {0.501f, 0, 0}});
    addPoints({{0, 0, 0}, {0.1f, 0, 0}, {0.2f, 0, 0}});
    usunFiguryPunkty();
    ASSERT_EQ(figureList.size(), 2u);
    EXPECT_EQ(figureList[0]->poz[1].x, 0.501f);
    EXPECT_EQ(figureList[1]->count(), 3);
}

TEST_F(Redukcja, ProfileSmoothingStraightensASlope) {
    tFigura f;
    f.poz = {{0, 0, 0}, {0.1f, 0, 0.5f}, {0.2f, 0, 0.2f}, {0.3f, 0, 0.3f}};
    smoothProfileForward(f, 2, true);
    EXPECT_FLOAT_EQ(f.poz[1].z, 0.1f);
    tFigura g;
    g.poz = {{0, 0, 0.3f}, {0.1f, 0, 0.2f}, {0.2f, 0, 0.5f}, {0.3f, 0, 0}};
    smoothProfileBackward(g, 2, true);
    EXPECT_FLOAT_EQ(g.poz[2].z, 0.1f);
    EXPECT_EQ(g.poz[0].z, 0.3f);
}

TEST_F(Redukcja, RedukujStopsOnTerminate) {
    std::vector<TrPkt3D> line;
    for (int i = 0; i < 10; ++i) line.push_back({float(i), 0, 0});
    addPoints(line);
    addPoints(line);
    redukuj(1);
    EXPECT_EQ(figureList[0]->count(), 10);
    EXPECT_EQ(figureList[1]->count(), 2);
    EXPECT_TRUE(figureList[1]->zredukowana);
    generationTerminate = true;
    redukuj(0);
    EXPECT_EQ(figureList[0]->count(), 10);
}

TEST_F(Redukcja, TransferHeights) {
    pixelSize = 1;
    rasterSizeX = 10;
    rasterSizeY = 10;
    allocateRasters();
    for (int ix = 0; ix <= 10; ++ix)
        for (int iy = 0; iy <= 10; ++iy) motionHeights[ix][iy] = ix == 5 ? 7.0f : 1.0f;
    transferMargin = 5;
    addPoints({{8, 8, 1}, {9, 8, 1}});
    addPoints({{9, 9, 2}, {9, 1, 2}}); // the way back to (0, 0) crosses the wall at x = 5
    ustalZprzestawczy(0.3, 2);
    EXPECT_DOUBLE_EQ(figureList[0]->przestawczyZ, 1 + 5.0);     // over flat ground to (9, 9)
    EXPECT_DOUBLE_EQ(figureList[1]->przestawczyZ, 7 + 2 + 5.0); // wall + depth + margin

    settings.printer3D = true;
    ustalZprzestawczy(0.3, 2);
    EXPECT_DOUBLE_EQ(figureList[0]->przestawczyZ, 1);
    EXPECT_DOUBLE_EQ(figureList[1]->przestawczyZ, 4);
    settings.printer3D = false;
}

TEST_F(Redukcja, SmoothingNeverCutsBelowTheMotionMap) {
    // A sharp ridge, 2 mm down per mm on both sides of x = 5, and a stroke
    // across it lying on the map. Smoothing pulls the top towards the chord
    // below it; the points must come back up onto the map, in plan unchanged.
    pixelSize = 1;
    rasterSizeX = 10;
    rasterSizeY = 2;
    allocateRasters();
    for (int ix = 0; ix <= 10; ++ix)
        for (int iy = 0; iy <= 2; ++iy) motionHeights[ix][iy] = float(10 - 2 * std::abs(ix - 5));
    std::vector<TrPkt3D> stroke;
    for (int ix = 0; ix <= 10; ++ix) stroke.push_back({float(ix), 1, motionHeights[ix][1]});

    settings.printer3D = true; // no motion map: the plain smoothing
    tFigura& plain = addPoints(stroke);
    smoothFigure(0, 4, false);
    smoothProfileForward(plain, 2, true);
    EXPECT_LT(plain.poz[5].z, 9.5f); // the bare smoothing cuts into the ridge

    settings.printer3D = false;
    tFigura& kept = addPoints(stroke);
    smoothFigure(1, 4, false);
    smoothProfileForward(kept, 2, true);
    smoothProfileBackward(kept, 2, true);
    ASSERT_EQ(kept.count(), plain.count());
    for (int k = 0; k < kept.count(); ++k) {
        const TrPkt3D& p = kept.poz[size_t(k)];
        EXPECT_EQ(p.x, plain.poz[size_t(k)].x) << k;
        EXPECT_EQ(p.y, 1.0f) << k;
        EXPECT_GE(p.z, motionHeightInterpolated(p) - 1e-5) << k;
    }
}

TEST_F(Redukcja, ARaiseToTheMapIsNotCarriedOnToTheNextPoints) {
    // A level line at 1 mm over a map of 1 mm with one wall 3 mm high at
    // x = 5: the smoothing moves the points along the line; those that end
    // beside the wall stand on the map, all others keep their level, in plan
    // exactly where the smoothing without a map puts them.
    pixelSize = 1;
    rasterSizeX = 10;
    rasterSizeY = 2;
    allocateRasters();
    for (int ix = 0; ix <= 10; ++ix)
        for (int iy = 0; iy <= 2; ++iy) motionHeights[ix][iy] = ix == 5 ? 3.0f : 1.0f;
    std::vector<TrPkt3D> line;
    for (int ix = 0; ix <= 10; ++ix) line.push_back({float(ix), 1, 1});
    settings.printer3D = true;
    tFigura& plain = addPoints(line);
    smoothFigure(plain, {{4, false}, {4, false}});
    settings.printer3D = false;
    tFigura& kept = addPoints(line);
    smoothFigure(kept, {{4, false}, {4, false}});
    int raised = 0;
    for (int k = 0; k < kept.count(); ++k) {
        const TrPkt3D& p = kept.poz[size_t(k)];
        EXPECT_EQ(p.x, plain.poz[size_t(k)].x) << k;
        EXPECT_EQ(plain.poz[size_t(k)].z, 1.0f) << k;
        const float map = static_cast<float>(motionHeightInterpolated(p));
        if (p.z != 1.0f) {
            ++raised;
            EXPECT_EQ(p.z, map) << k;
        }
        EXPECT_GE(p.z, map) << k;
    }
    EXPECT_GT(raised, 0);
}

// A closed 4 x 4 square traced every 0.5 mm (33 points): smoothed keeping its
// corners they stay where they are; smoothed plainly the corner (4, 0) moves
// inside the square.
TEST_F(Redukcja, UsrednijKeepsCornersWhenAsked) {
    std::vector<TrPkt3D> square;
    for (int i = 0; i < 8; ++i) square.push_back({0.5f * i, 0, 0});
    for (int i = 0; i < 8; ++i) square.push_back({4, 0.5f * i, 0});
    for (int i = 0; i < 8; ++i) square.push_back({4 - 0.5f * i, 4, 0});
    for (int i = 0; i <= 8; ++i) square.push_back({0, 4 - 0.5f * i, 0});
    addPoints(square).zamknieta = true;
    usrednij(0, true);
    addPoints(square).zamknieta = true;
    usrednij(1);
    const tFigura &kept = *figureList[0], &rounded = *figureList[1];
    ASSERT_EQ(kept.count(), 33);
    for (int corner : {0, 8, 16, 24, 32}) {
        EXPECT_EQ(kept.poz[size_t(corner)].x, square[size_t(corner)].x) << corner;
        EXPECT_EQ(kept.poz[size_t(corner)].y, square[size_t(corner)].y) << corner;
    }
    EXPECT_TRUE(kept.usredniona);
    EXPECT_LT(rounded.poz[8].x, 4.0f);
    EXPECT_GT(rounded.poz[8].y, 0.0f);
}
