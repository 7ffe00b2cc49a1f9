#include "SweepSupport.h"

#include "foundation/State.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

void blankRaster(int lastX, int lastY, double cell) {
    pixelSize = cell;
    rasterSizeX = lastX;
    rasterSizeY = lastY;
    allocateRasters();
}

} // namespace

TEST(RasterTest, AllocationGivesZeroLayersOfTheRasterSize) {
    blankRaster(0, 0, 0.2);
    EXPECT_EQ(modelHeights.columns(), 1);
    EXPECT_EQ(modelHeights.rows(), 1);

    blankRaster(4, 2, 0.2);
    modelHeights[4][2] = 7;
    cellStatus[1][1].stat = 5;
    allocateRasters();
    for (const tpix2d* layer : {&modelHeights, &offsetHeights, &motionHeights, &flatMask}) {
        EXPECT_EQ(layer->columns(), 5);
        EXPECT_EQ(layer->rows(), 3);
    }
    EXPECT_EQ(cellStatus.columns(), 5);
    EXPECT_EQ(flatStatus.rows(), 3);
    EXPECT_EQ(modelHeights[4][2], 0.0f);
    EXPECT_EQ(cellStatus[1][1].stat, 0);
    // Columns are contiguous, one after another.
    EXPECT_EQ(&modelHeights[1][0], &modelHeights[0][0] + 3);
}

TEST(RasterTest, SizeOfTheModelRaster) {
    pixelSize = 0.5;
    modelSize = {10.25f, 10.75f, 5.0f};
    setRasterSizeFromModel();
    EXPECT_EQ(rasterSizeX, 20); // 20.5: halves go to the even neighbour
    EXPECT_EQ(rasterSizeY, 22); // 21.5
    EXPECT_EQ(rasterSizeZ, 30);
}

TEST(RasterTest, MaterialLayerAndClearing) {
    blankRaster(3, 2, 0.5);
    fillMaterialRaster(1000.0f);
    EXPECT_EQ(materialHeights.columns(), 4);
    EXPECT_EQ(materialHeights.rows(), 3);
    EXPECT_EQ(materialHeights[3][2], 1000.0f);

    materialCellsX = 1;
    materialCellsY = 1;
    allocateMaterialRaster();
    EXPECT_EQ(materialHeights.columns(), 2);
    materialHeights[1][1] = 4;
    // Reads beyond the smaller stock-model layer answer its own edge.
    EXPECT_EQ(materialHeightAt(3, 2), 4.0f);
    EXPECT_EQ(materialHeightAt(-1, 9), 0.0f);

    for (int x = 0; x <= 3; ++x)
        for (int y = 0; y <= 2; ++y) motionHeights[x][y] = 1;
    clearLayer(motionHeights);
    for (float v : motionHeights.cells()) EXPECT_EQ(v, 0.0f);
}

TEST(RasterTest, ClampedReads) {
    blankRaster(5, 7, 0.2);
    motionHeights[0][7] = 3;
    motionHeights[5][0] = 4;
    motionHeights[2][3] = 5;
    EXPECT_EQ(motionHeightAt(-3, 7 + 5), 3.0f);
    EXPECT_EQ(motionHeightAt(99, -1), 4.0f);
    EXPECT_EQ(motionHeightAt(2, 3), 5.0f);
}

TEST(RasterTest, LevelAreaCountsCellsStrictlyWithinHalfACell) {
    blankRaster(9, 9, 0.5);
    for (int x = 0; x <= 9; ++x)
        for (int y = 0; y <= 9; ++y) offsetHeights[x][y] = 2;
    offsetHeights[0][0] = 2.25f; // exactly half a cell above 2: outside
    offsetHeights[0][1] = 2.24f;
    EXPECT_DOUBLE_EQ(levelArea(2), 99 * 0.25);
    EXPECT_DOUBLE_EQ(levelArea(2.5), 0); // 2.25 lies on the bound of both levels: in neither
    EXPECT_DOUBLE_EQ(levelArea(-0.2), 0);
    EXPECT_DOUBLE_EQ(levelArea(0), 0);
}

TEST(RasterTest, DominantLevel) {
    // A relief on a flat base: the base wins.
    korvane::test::makeRelief(30, 20, 5);
    for (int x = 0; x <= rasterSizeX; ++x)
        for (int y = 0; y <= rasterSizeY; ++y) offsetHeights[x][y] = modelHeights[x][y];
    double best = 0, bestArea = 0;
    for (double h = modelSize.z; h >= 0; h -= pixelSize)
        if (levelArea(h) > bestArea) {
            bestArea = levelArea(h);
            best = h;
        }
    EXPECT_DOUBLE_EQ(dominantLevel(), best);

    // Two equal largest areas: the higher level.
    blankRaster(9, 9, 0.5);
    modelSize.z = 4;
    for (int x = 0; x <= 9; ++x)
        for (int y = 0; y <= 9; ++y) offsetHeights[x][y] = x < 5 ? 1.0f : 3.0f;
    EXPECT_DOUBLE_EQ(dominantLevel(), 3.0);
    clearLayer(offsetHeights);
    EXPECT_DOUBLE_EQ(dominantLevel(), 0.0);
    for (int x = 0; x <= 9; ++x)
        for (int y = 0; y <= 9; ++y) offsetHeights[x][y] = 9;
    EXPECT_DOUBLE_EQ(dominantLevel(), 0.0); // above every level scanned
}
