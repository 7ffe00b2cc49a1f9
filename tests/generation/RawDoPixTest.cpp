#include "foundation/State.h"
#include "generation/RawDoPixWatek.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace korvane;

namespace {

tpix2d layerOf(int columns, int rows, double cell) {
    pixelSize = cell;
    settings.printer3D = false;
    return tpix2d(columns, rows);
}

int raisedCells(const tpix2d& layer) {
    int n = 0;
    for (float v : layer.cells()) n += v != 0;
    return n;
}

} // namespace

TEST(RawDoPixTest, SmallAndVerticalTriangles) {
    tpix2d layer = layerOf(10, 10, 1.0);
    // Three vertices in one cell: only that cell, at the highest vertex.
    rasteriseTriangle(layer, {3.1f, 4.2f, 2.0f}, {3.3f, 3.9f, 5.0f}, {2.8f, 4.1f, 1.0f});
    EXPECT_EQ(layer[3][4], 5.0f);
    EXPECT_EQ(raisedCells(layer), 1);

    // A vertical triangle over one plan point: its top.
    tpix2d vertical = layerOf(10, 10, 1.0);
    rasteriseTriangle(vertical, {6, 6, 9}, {6, 6, 1}, {6, 6, 4});
    EXPECT_EQ(vertical[6][6], 9.0f);
    EXPECT_EQ(raisedCells(vertical), 1);
}

TEST(RawDoPixTest, AFlatTriangleIsCoveredWithoutHoles) {
    tpix2d layer = layerOf(41, 41, 0.25);
    rasteriseTriangle(layer, {0, 0, 2}, {10, 0, 2}, {0, 10, 2});
    for (int x = 0; x <= 40; ++x)
        for (int y = 0; y <= 40; ++y) {
            const float expected = x + y <= 39 ? 2.0f : x + y >= 42 ? 0.0f : layer[x][y];
            EXPECT_EQ(layer[x][y], expected) << x << "," << y;
        }
}

TEST(RawDoPixTest, HigherSurfaceWinsAndNothingGoesBelowZero) {
    tpix2d layer = layerOf(21, 21, 0.5);
    rasteriseTriangle(layer, {0, 0, 3}, {10, 0, 3}, {0, 10, 3});
    rasteriseTriangle(layer, {0, 0, 1}, {10, 0, 1}, {0, 10, 1});
    rasteriseTriangle(layer, {0, 0, 4}, {4, 0, 4}, {0, 4, 4});
    EXPECT_EQ(layer[2][2], 4.0f);
    EXPECT_EQ(layer[10][5], 3.0f);
    // Below the base.
    rasteriseTriangle(layer, {5, 5, -2}, {10, 5, -2}, {10, 10, -1});
    EXPECT_EQ(layer[18][15], 0.0f);
    // A sloping triangle: heights follow the plane within the sampling.
    tpix2d slope = layerOf(21, 21, 0.5);
    rasteriseTriangle(slope, {0, 0, 0}, {10, 0, 10}, {0, 10, 0});
    for (int x = 1; x <= 15; ++x) EXPECT_NEAR(slope[x][2], x * 0.5, 0.5) << x;
}

TEST(RawDoPixTest, SamplesOutsideTheLayerAreDropped) {
    tpix2d layer = layerOf(5, 5, 1.0);
    rasteriseTriangle(layer, {-3, -3, 1}, {8, 2, 1}, {2, 8, 1});
    EXPECT_EQ(layer[2][2], 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    rasteriseTriangle(layer, {nan, 0, 5}, {1, 1, 5}, {2, 2, 5});
    rasteriseSegment(layer, {0, 0, 7}, {std::numeric_limits<float>::infinity(), 0, 7});
    EXPECT_EQ(layer[1][1], 1.0f);
}

TEST(RawDoPixTest, SegmentSamples) {
    tpix2d layer = layerOf(30, 2, 0.1);
    // 1 mm at 0.1 mm: 11 steps, every cell of the run reached.
    rasteriseSegment(layer, {0.5f, 0.1f, 1}, {1.5f, 0.1f, 2});
    for (int x = 5; x <= 15; ++x) EXPECT_NEAR(layer[x][1], 1 + (x - 5) * 0.1, 0.051) << x;
    EXPECT_EQ(layer[4][1], 0.0f);
    EXPECT_EQ(layer[16][1], 0.0f);
}
