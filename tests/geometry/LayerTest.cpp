// Zeroed blocks, large (own pages) and small (heap), and the raster layers
// kept in them: every resize gives zero cells again, even over cells written
// before, and copies keep what was written.
#include "geometry/Typy.h"
#include "platform/ZeroedPages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace korvane;

namespace {

bool allZero(const void* block, std::size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(block);
    return std::all_of(p, p + bytes, [](unsigned char c) { return c == 0; });
}

} // namespace

TEST(ZeroedPages, BlocksLargeAndSmallReadAsZeroEveryTime) {
    for (std::size_t bytes :
         {std::size_t(3) << 20, std::size_t(1) << 20, std::size_t(100), std::size_t(0)}) {
        SCOPED_TRACE(bytes);
        for (int round = 0; round < 2; ++round) {
            void* block = allocateZeroed(bytes);
            ASSERT_NE(block, nullptr);
            EXPECT_TRUE(allZero(block, bytes));
            std::memset(block, 0xA5, bytes);
            releaseZeroed(block, bytes);
        }
    }
}

TEST(ZeroedPages, LayersResizeToZeroCellsAndCopyTheirCells) {
    tpix2d heights(1200, 1000);
    EXPECT_EQ(heights.cells().size(), 1200u * 1000u);
    EXPECT_EQ(heights[1199][999], 0.0f);
    heights.fill(7.5f);
    heights[3][4] = 2;
    const tpix2d copy = heights;
    EXPECT_EQ(copy[3][4], 2.0f);
    EXPECT_EQ(copy[1199][999], 7.5f);
    // The same shape again: every cell zero, none of the old values left.
    heights.resize(1200, 1000);
    EXPECT_TRUE(std::all_of(heights.cells().begin(), heights.cells().end(),
                            [](float h) { return h == 0; }));

    tpix2dRec status(40, 30);
    status[39][19] = {0x40, {1, 2, 3}};
    status[39][29].stat = 0x10;
    status.resizeKeeping(50, 20);
    EXPECT_EQ(status.columns(), 50);
    EXPECT_EQ(status[39][19].stat, 0x40);
    EXPECT_EQ(status[39][19].p.y, 2.0f);
    EXPECT_EQ(status[45][10].stat, 0);
    status.resize(50, 20);
    EXPECT_EQ(status[39][19].stat, 0);
    EXPECT_EQ(status[39][19].p.z, 0.0f);
}
