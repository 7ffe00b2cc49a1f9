#include "ModelSupport.h"
#include "TestSupport.h"

#include "foundation/State.h"
#include "generation/RawDoPixWatek.h"
#include "geometry/Raster.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

using namespace korvane;

namespace {

using test::triangle;

// A wavy surface of columns x rows quads over width x depth mm, starting at (x0, y0).
TriangleList surface(double x0, double y0, double width, double depth, int columns, int rows) {
    auto point = [&](int i, int j) {
        const double x = width * i / columns, y = depth * j / rows;
        return TrPkt3D{static_cast<float>(x0 + x), static_cast<float>(y0 + y),
                       static_cast<float>(3 + std::sin(x) * std::cos(y * 1.3))};
    };
    TriangleList list;
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j) {
            list.push_back(triangle(point(i, j), point(i + 1, j), point(i + 1, j + 1)));
            list.push_back(triangle(point(i, j), point(i + 1, j + 1), point(i, j + 1)));
        }
    return list;
}

class RawDoPixThreadTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetState(ui); }
    test::RecordingUserInterface ui;
};

} // namespace

TEST_F(RawDoPixThreadTest, BuildsTheModelLayerLikeTheSingleThreadedSweep) {
    pixelSize = 0.2;
    modelExtents.minX = 10;
    modelExtents.minY = -5;
    rasterSizeX = 100;
    rasterSizeY = 75;
    const TriangleList list = surface(10, -5, 20, 15, 60, 45); // 5400 triangles
    tpix2d expected(101, 76);
    for (const TTrojkat& t : list) {
        TTrojkat s = t;
        for (TrPkt3D* v : {&s.a, &s.b, &s.c}) {
            v->x = static_cast<float>(v->x - 10.0);
            v->y = static_cast<float>(v->y + 5.0);
        }
        rasteriseTriangle(expected, s.a, s.b, s.c);
    }

    allocateRasters();
    modelHeights.fill(9); // stale contents are cleared
    TRawDoPix raster;
    raster.Inicjuj(&list, &modelHeights, false, &modelExtents);
    bool ended = false;
    raster.start([&] { ended = true; });
    queueMainLoop().runUntil([&] { return ended; }, std::chrono::seconds(60));
    ASSERT_TRUE(ended);
    EXPECT_EQ(modelHeights.columns(), 101);
    EXPECT_TRUE(
        std::equal(expected.cells().begin(), expected.cells().end(), modelHeights.cells().begin()));
    EXPECT_GT(modelHeights[50][40], 1.0f);
}

TEST_F(RawDoPixThreadTest, MaterialLayerHasItsOwnSizeAndClosingStopsAtOnce) {
    pixelSize = 0.5;
    materialCellsX = 8;
    materialCellsY = 6;
    TModel extents;
    const TriangleList list = surface(0, 0, 4, 3, 4, 3);
    TRawDoPix raster;
    raster.Inicjuj(&list, &materialHeights, true, &extents);
    raster.Execute();
    EXPECT_EQ(materialHeights.columns(), 9);
    EXPECT_EQ(materialHeights.rows(), 7);
    EXPECT_GT(materialHeights[4][3], 1.0f);

    closing = true;
    materialHeights.fill(5);
    raster.Execute();
    EXPECT_EQ(materialHeights[0][0], 5.0f); // nothing touched
    closing = false;
}
