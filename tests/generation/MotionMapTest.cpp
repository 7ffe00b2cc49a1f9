#include "SweepSupport.h"
#include "TestSupport.h"

#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/MotionMap.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace korvane;
using korvane::test::bitIdentical;
using korvane::test::makeRelief;
using korvane::test::referenceSweep;

namespace {

// A spherical cap of radius r cells with the ball's height above the tip.
std::vector<TPkt3D> ballProfile(int r, double cell) {
    std::vector<TPkt3D> points;
    for (int x = -r; x <= r; ++x)
        for (int y = -r; y <= r; ++y) {
            const double d2 = (x * x + y * y) * cell * cell, big = r * cell;
            if (x * x + y * y <= r * r)
                points.push_back({x, y, static_cast<float>(big - std::sqrt(big * big - d2))});
        }
    return points;
}

// Sets a blank raster of the given size.
void blankRaster(int lastX, int lastY, double cell) {
    pixelSize = cell;
    rasterSizeX = lastX;
    rasterSizeY = lastY;
    allocateRasters();
}

// The program's sweep against the plain one for one profile on the current
// modelHeights, with several worker counts.
void expectSweepMatchesReference(const std::vector<TPkt3D>& profile) {
    tpix2d expected(rasterSizeX + 1, rasterSizeY + 1);
    referenceSweep(modelHeights, profile, expected);
    for (int workers : {1, 2, 3, 7}) {
        tpix2d actual(rasterSizeX + 1, rasterSizeY + 1);
        sweepProfile(modelHeights, profile, actual, workers);
        EXPECT_TRUE(bitIdentical(expected, actual)) << "workers " << workers;
    }
}

} // namespace

TEST(MotionMapTest, WorkerCountAndColumnRanges) {
    EXPECT_EQ(motionWorkerCount(1), 1);
    EXPECT_EQ(motionWorkerCount(4), 4);
    EXPECT_EQ(motionWorkerCount(5), 4);
    EXPECT_EQ(motionWorkerCount(8), 7);
    EXPECT_EQ(motionWorkerCount(32), 31);
    EXPECT_EQ(motionWorkerCount(128), 31);
    EXPECT_EQ(motionWorkerCount(0), 1);

    using R = std::vector<std::pair<int, int>>;
    EXPECT_EQ(workerColumns(1001, 4), (R{{0, 249}, {250, 499}, {500, 749}, {750, 1001}}));
    EXPECT_EQ(workerColumns(1001, 1), (R{{0, 1001}}));
    // More workers than columns: all but the last have nothing to do.
    EXPECT_EQ(workerColumns(2, 4), (R{{0, -1}, {0, -1}, {0, -1}, {0, 2}}));
}

TEST(MotionMapTest, SweepIsBitIdenticalToThePlainLoop) {
    makeRelief(23.3, 17.1, 5);
    expectSweepMatchesReference(ballProfile(7, 0.2));
    expectSweepMatchesReference(ballProfile(1, 0.2));
    expectSweepMatchesReference({{0, 0, 0.0f}});
    expectSweepMatchesReference(
        {{3, -2, 0.5f}, {-40, 9, 0.25f}, {2, 60, 1.0f}}); // beyond the raster
    expectSweepMatchesReference({});
    // Negative heights raise the target (the allowance sphere sweeps that way).
    expectSweepMatchesReference({{0, 0, -1.0f}, {1, 0, -0.7f}, {0, -1, -0.3f}});

    makeRelief(30, 8, 10);
    expectSweepMatchesReference(ballProfile(15, 0.1));

    // Rasters of one column, of one row and of one cell.
    for (auto [x, y] : {std::pair{0, 40}, std::pair{40, 0}, std::pair{0, 0}}) {
        blankRaster(x, y, 0.2);
        for (int i = 0; i <= x; ++i)
            for (int j = 0; j <= y; ++j)
                modelHeights[i][j] = static_cast<float>((i * 7 + j * 3) % 5);
        expectSweepMatchesReference(ballProfile(4, 0.2));
    }
}

TEST(MotionMapTest, ToolSweepOfTheDefaultToolsIsBitIdentical) {
    makeRelief(31, 19, 5);
    for (int i = 0; i <= rasterSizeX; ++i)
        std::copy_n(modelHeights[i].data(), rasterSizeY + 1, offsetHeights[i].data());
    const TFrezDane tools[] = {{"", "EndSloting6", toolEndMill, 6, 0, 6, 30, 60},
                               {"", "Ball2", toolBallNose, 2, 0, 6.5, 2, 60},
                               {"", "Ball3", toolBallNose, 3, 0, 5, 3, 10},
                               {"", "Conical2", toolConical, 2, 4, 4, 5, 60}};
    for (const TFrezDane& t : tools) {
        const TFrez frez(t);
        tpix2d expected(rasterSizeX + 1, rasterSizeY + 1);
        referenceSweep(offsetHeights, frez.Powierzchnia, expected);
        clearLayer(motionHeights);
        sweepTool(frez, motionWorkerCount());
        EXPECT_TRUE(bitIdentical(expected, motionHeights)) << t.nazwa;
    }
}

TEST(MotionMapTest, BallOverOneRaisedCellGivesADome) {
    blankRaster(40, 40, 0.2);
    offsetHeights[20][20] = 5;
    const TFrez ball({"", "", toolBallNose, 6, 0, 6, 3, 60});
    clearLayer(motionHeights);
    sweepTool(ball, 2);
    for (const TPkt3D& q : ball.Powierzchnia)
        EXPECT_EQ(motionHeights[20 + q.x][20 + q.y], 5 - q.z) << q.x << "," << q.y;
    EXPECT_EQ(motionHeights[20][20], 5.0f);
    EXPECT_EQ(motionHeights[20 + 15][20], 0.0f);
}

TEST(MotionMapTest, FlatToolOverOneRaisedCellGivesADisk) {
    blankRaster(20, 20, 0.5);
    offsetHeights[10][10] = 4;
    std::vector<TPkt3D> disk;
    for (int x = -3; x <= 3; ++x)
        for (int y = -3; y <= 3; ++y)
            if (x * x + y * y <= 9) disk.push_back({x, y, 0.0f});
    clearLayer(motionHeights);
    sweepProfile(offsetHeights, disk, motionHeights, 2);
    for (int x = 0; x <= 20; ++x)
        for (int y = 0; y <= 20; ++y) {
            const int d2 = (x - 10) * (x - 10) + (y - 10) * (y - 10);
            EXPECT_EQ(motionHeights[x][y], d2 <= 9 ? 4.0f : 0.0f) << x << "," << y;
        }
}

TEST(MotionMapTest, AllowanceBelowHalfACellCopiesTheModel) {
    makeRelief(10, 6, 5);
    applyAllowance(0.09);
    EXPECT_TRUE(bitIdentical(modelHeights, offsetHeights));
}

TEST(MotionMapTest, AllowanceEqualsThePlainLoop) {
    makeRelief(21, 13, 5);
    for (double a : {0.2, 0.5, 1.3}) {
        const std::vector<TPkt3D> sphere = allowanceSphere(a);
        EXPECT_EQ(sphere.front().x, 0);
        EXPECT_FLOAT_EQ(sphere.front().z, static_cast<float>(a));
        tpix2d expected(rasterSizeX + 1, rasterSizeY + 1);
        for (int x = 0; x <= rasterSizeX; ++x)
            for (int y = 0; y <= rasterSizeY; ++y)
                for (const TPkt3D& q : sphere) {
                    const int tx = x + q.x, ty = y + q.y;
                    if (tx < 0 || tx > rasterSizeX || ty < 0 || ty > rasterSizeY) continue;
                    const float v = modelHeights[x][y] + q.z;
                    if (v > expected[tx][ty]) expected[tx][ty] = v;
                }
        applyAllowance(a);
        EXPECT_TRUE(bitIdentical(expected, offsetHeights)) << a;
    }
}

TEST(MotionMapTest, AllowanceRaisesAFlatModelWithARoundedShoulder) {
    blankRaster(60, 40, 0.1);
    for (int x = 0; x <= 30; ++x)
        for (int y = 0; y <= 40; ++y) modelHeights[x][y] = 5;
    applyAllowance(1.0);
    for (int y = 0; y <= 40; ++y) EXPECT_FLOAT_EQ(offsetHeights[15][y], 6.0f);
    // Beyond the edge at column 30 the shoulder falls as a circle of radius 1 mm
    // (10 cells) and ends there.
    EXPECT_FLOAT_EQ(offsetHeights[30][20], 6.0f);
    EXPECT_NEAR(offsetHeights[35][20], 5 + std::sqrt(1 - 0.25), 0.02);
    EXPECT_NEAR(offsetHeights[38][20], 5 + std::sqrt(1 - 0.64), 0.05);
    EXPECT_GT(offsetHeights[40][20], 5.0f);
    // The empty base is raised by the allowance too.
    EXPECT_FLOAT_EQ(offsetHeights[41][20], 1.0f);
    EXPECT_FLOAT_EQ(offsetHeights[60][20], 1.0f);
}

TEST(MotionMapTest, InterpolatedHeights) {
    blankRaster(4, 4, 0.5);
    for (int y = 0; y <= 4; ++y) motionHeights[1][y] = 2; // column 1 at 2 mm, the rest 0
    // At a cell centre: the cell.
    EXPECT_DOUBLE_EQ(motionHeightInterpolated({0.5f, 1.0f, 0}), 2.0);
    EXPECT_DOUBLE_EQ(motionHeightInterpolated({1.0f, 1.0f, 0}), 0.0);
    // Halfway between a cell of 0 and one of 2 on a flat row.
    EXPECT_DOUBLE_EQ(motionHeightInterpolated({0.25f, 1.0f, 0}), 1.0);
    // Exactly on a row the height runs linearly between the two cell centres.
    EXPECT_DOUBLE_EQ(motionHeightInterpolated({0.125f, 1.0f, 0}), 0.5);
    EXPECT_DOUBLE_EQ(motionHeightInterpolated({0.375f, 1.0f, 0}), 1.5);
    EXPECT_DOUBLE_EQ(motionHeightInterpolated({0.5f, 0.9f, 0}), 2.0);
    // Outside the raster the edge cells answer; never below 0.
    EXPECT_DOUBLE_EQ(motionHeightInterpolated({-3.0f, -3.0f, 0}), 0.0);
    EXPECT_DOUBLE_EQ(motionHeightInterpolated({0.5f, 9.0f, 0}), 2.0);

    // On a plane every interpolation is exact.
    for (int x = 0; x <= 4; ++x)
        for (int y = 0; y <= 4; ++y) motionHeights[x][y] = static_cast<float>(1 + x + 2 * y);
    for (float u : {0.1f, 0.3f, 0.7f, 1.2f, 1.45f})
        for (float v : {0.05f, 0.6f, 1.1f, 1.9f})
            EXPECT_NEAR(motionHeightInterpolated({u, v, 0}), 1 + u / 0.5 + 2 * v / 0.5, 1e-5)
                << u << "," << v;
}

TEST(MotionMapTest, MaxHeightAlongASegment) {
    blankRaster(10, 10, 1.0);
    motionHeights[5][5] = 3;
    motionHeights[2][2] = 1;
    // Both points in the same cell: that point's height.
    EXPECT_FLOAT_EQ(maxMotionHeightAlong({2.1f, 2.0f, 0}, {2.2f, 2.0f, 0}),
                    static_cast<float>(motionHeightInterpolated({2.1f, 2.0f, 0})));
    EXPECT_FLOAT_EQ(maxMotionHeightAlong({0, 5, 0}, {10, 5, 0}), 3.0f);
    EXPECT_FLOAT_EQ(maxMotionHeightAlong({0, 0, 0}, {10, 0, 0}), 0.0f);
    // The 3D length decides the sampling: a steep segment in one cell still samples it.
    EXPECT_FLOAT_EQ(maxMotionHeightAlong({4.6f, 5, 0}, {5.4f, 5, 30}), 3.0f);
    // The highest cell under either end: both ends are samples.
    EXPECT_FLOAT_EQ(maxMotionHeightAlong({0, 5, 0}, {5, 5, 0}), 3.0f);
    EXPECT_FLOAT_EQ(maxMotionHeightAlong({5, 5, 0}, {0, 5, 0}), 3.0f);
}
