// The tool's true shape against a raster: the tip height beside a single high
// cell worked out on the ball, level moves that pass beside it or over it,
// a move kept clear by raised points in between, and points checked as the
// output file writes them. And the search by chunks of cells against the plain
// loop over every cell, bit for bit, on a rough layer with walls and spikes.
#include "generation/ToolClearance.h"
#include "ToolClearanceReference.h"
#include "foundation/State.h"
#include "generation/ClearPath.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "output/DaneWyjsciowe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace korvane;

namespace {

class ToolClearanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // 1 mm cells, 20 x 20 mm, all at 0 but the cell (10, 10) at 5 mm.
        pixelSize = 1;
        rasterSizeX = rasterSizeY = 20;
        allocateRasters();
        offsetHeights[10][10] = 5;
    }
    // A ball of radius 1.5 mm with no wider shank.
    const TFrezDane ball{"", "Ball3", toolBallNose, 3, 0, 3, 3, 3};
};

} // namespace

TEST_F(ToolClearanceTest, TipHeightBesideAHighCell) {
    const ToolClearance c(TFrez(ball), offsetHeights, 1);
    EXPECT_NEAR(c.tipHeight(10, 10), 5, 1e-9);
    // 1 mm off the axis the ball's surface is 1.5 - sqrt(1.25) = 0.381966 up.
    EXPECT_NEAR(c.tipHeight(11, 10), 4.618034, ToolClearance::profileStep);
    EXPECT_LE(c.tipHeight(11, 10), 4.618034 + 1e-6);
    EXPECT_NEAR(c.tipHeight(10, 8.6), 5 - (1.5 - std::sqrt(2.25 - 1.96)),
                ToolClearance::profileStep);
    // Beyond the ball's reach only the floor is under it, its nearest cell
    // centre 0.4 mm away: the tip may go 1.5 - sqrt(2.09) = 0.054340 below it.
    EXPECT_NEAR(c.tipHeight(11.6, 10), -0.054340, ToolClearance::profileStep);
}

TEST_F(ToolClearanceTest, LevelMovesBesideAndOverTheCell) {
    const ToolClearance c(TFrez(ball), offsetHeights, 1);
    EXPECT_EQ(c.cut({5, 12, 0}, {15, 12, 0}), 0); // 2 mm beside it
    EXPECT_NEAR(c.cut({5, 11, 0}, {15, 11, 0}), 4.618034, ToolClearance::profileStep);
    EXPECT_EQ(c.cut({5, 11, 4.7f}, {15, 11, 4.7f}), 0);
    // A vertical move cuts what its lower end cuts.
    EXPECT_NEAR(c.cut({10, 11, 6}, {10, 11, 1}), 3.618034, ToolClearance::profileStep);
}

TEST_F(ToolClearanceTest, AMoveOverTheCellGetsRaisedPointsBetween) {
    const ToolClearance c(TFrez(ball), offsetHeights, 1);
    tFigura f;
    f.poz = {{5, 11, 0}, {15, 11, 0}};
    c.keepClear(f);
    ASSERT_GT(f.poz.size(), 3u);
    EXPECT_EQ(f.poz.front().x, 5.0f);
    EXPECT_EQ(f.poz.back().x, 15.0f);
    float highest = 0;
    for (size_t k = 0; k < f.poz.size(); ++k) {
        EXPECT_EQ(f.poz[k].y, 11.0f);
        highest = std::max(highest, f.poz[k].z);
        if (k == 0) continue;
        // Forward, or straight up or down where the bound steps.
        EXPECT_GE(f.poz[k].x, f.poz[k - 1].x);
        EXPECT_LE(c.cut(f.poz[k - 1], f.poz[k]), ToolClearance::tolerance) << k;
    }
    // The first split falls on x = 10, straight beside the cell.
    EXPECT_NEAR(highest, 4.618034, ToolClearance::profileStep);
}

TEST_F(ToolClearanceTest, PointsAreKeptClearAsTheFileWritesThem) {
    offsetHeights[4][4] = 5.0004f;
    const ToolClearance c(TFrez(ball), offsetHeights, 1);
    // 1.5004 mm from the high cell the ball misses it, but the file writes
    // x 8.500: the cell then lies on the rim, under the shank, 3.5 mm above
    // the floor the point stood on.
    EXPECT_NEAR(c.cut({8.5f, 10, 0}, {8.5f, 10, 0}), 3.5, 1e-9);
    FigureList figures;
    for (const std::vector<TrPkt3D>& points :
         {std::vector<TrPkt3D>{{8.4996f, 10, 0}, {8.4996f, 10, 0.2f}},
          // Over the 5.0004 mm cell the nearest step, 5.000, is too low.
          std::vector<TrPkt3D>{{4, 4, 0}}, std::vector<TrPkt3D>{{1.0004f, 18, 0.0006f}}}) {
        figures.push_back(std::make_unique<tFigura>());
        figures.back()->poz = points;
        c.keepClear(*figures.back());
    }
    const std::string text = outputFileText(3, figures);
    EXPECT_NE(text.find("\r\n8.500 10.000 3.500\r\n8.500 10.000 3.500\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\n4.000 4.000 5.001\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n1.000 18.000 0.001\r\n"), std::string::npos) << text;
    EXPECT_EQ(figures[0]->poz[0].x, 8.5f);
    EXPECT_EQ(figures[2]->poz[0].x, 1.0f);
}

TEST_F(ToolClearanceTest, AShortMovePastACellOnTheRimHopsOverIt) {
    const ToolClearance c(TFrez(ball), offsetHeights, 1);
    // 1.5 mm beside the high cell only the middle of the move has it on the
    // rim: both ends are clear on the floor, the move between them is not.
    tFigura f;
    f.poz = {{8.5f, 9.997f, 0}, {8.5f, 10.003f, 0}};
    EXPECT_NEAR(c.cut(f.poz[0], f.poz[1]), 3.5, 1e-9);
    c.keepClear(f);
    FigureList figures;
    figures.push_back(std::make_unique<tFigura>(f));
    EXPECT_NE(outputFileText(3, figures)
                  .find("\r\n8.500 9.997 0.000\r\n8.500 9.997 3.500\r\n8.500 10.003 3.500\r\n"
                        "8.500 10.003 0.000\r\n"),
              std::string::npos)
        << outputFileText(3, figures);
    for (size_t k = 1; k < f.poz.size(); ++k)
        EXPECT_LE(c.cut(f.poz[k - 1], f.poz[k]), ToolClearance::tolerance) << k;
}

namespace {

// A number in [0, range) from a fixed sequence.
struct Sequence {
    std::uint32_t seed = 12345;
    double operator()(double range) {
        seed = seed * 1664525u + 1013904223u;
        return range * ((seed >> 8) & 0xFFFF) / 65536.0;
    }
};

// 20 x 16 mm at 0.2 mm: a floor rough by up to 0.5 mm, a 6 mm block with
// vertical walls, single spikes (one alone in its chunk of rows) and a deep
// slot.
void roughLayer(Sequence& next) {
    pixelSize = 0.2;
    rasterSizeX = 100;
    rasterSizeY = 80;
    allocateRasters();
    for (int ix = 0; ix <= rasterSizeX; ++ix)
        for (int iy = 0; iy <= rasterSizeY; ++iy) {
            float h = static_cast<float>(next(0.5));
            if (ix >= 40 && ix < 70 && iy >= 30 && iy < 55) h = 6;
            if (ix >= 50 && ix < 53 && iy >= 10 && iy < 60) h = -3;
            offsetHeights[ix][static_cast<std::size_t>(iy)] = h;
        }
    offsetHeights[20][20] = 4;
    offsetHeights[21][43] = 7.5f;
    offsetHeights[85][71] = 2.25f;
}

} // namespace

// Points and moves of every kind on the rough layer, some beyond the raster's
// edge.
TEST(ToolClearanceSearch, ChunksGiveWhatEveryCellGives) {
    Sequence next;
    roughLayer(next);
    const TFrezDane ballWithShank{"", "Ball3", toolBallNose, 3, 0, 5, 3, 30};
    const TFrezDane endMill{"", "End2", toolEndMill, 2, 0, 2, 10, 20};
    for (const TFrezDane& tool : {ballWithShank, endMill}) {
        const TFrez frez(tool);
        const ToolClearance fast(frez, offsetHeights, pixelSize);
        const ToolProfile profile(frez, ToolClearance::profileStep);
        const test::PlainToolClearance plain(profile, offsetHeights, pixelSize, rasterSizeX,
                                             rasterSizeY);
        int tips = 0, cuts = 0;
        for (int k = 0; k < 3000; ++k) {
            const double x = next(24) - 2, y = next(20) - 2;
            tips += fast.tipHeight(x, y) != plain.tipHeight(x, y);
            const auto a = TrPkt3D{static_cast<float>(x), static_cast<float>(y),
                                   static_cast<float>(next(9) - 1)};
            // Level, climbing, falling, vertical and long moves.
            TrPkt3D b{static_cast<float>(x + next(2) - 1), static_cast<float>(y + next(2) - 1),
                      a.z};
            if (k % 5 == 1) b.z = static_cast<float>(a.z + next(4));
            if (k % 5 == 2) b.z = static_cast<float>(a.z - next(4));
            if (k % 5 == 3) b = {a.x, a.y, static_cast<float>(next(9))};
            if (k % 5 == 4)
                b = {static_cast<float>(next(24) - 2), static_cast<float>(next(20) - 2),
                     static_cast<float>(next(9) - 1)};
            cuts += fast.cut(a, b) != plain.cut(a, b);
        }
        EXPECT_EQ(tips, 0) << tool.nazwa;
        EXPECT_EQ(cuts, 0) << tool.nazwa;
    }
}

TEST(ToolClearanceSearch, LongFiguresSharedAmongThreadsComeOutAsClearedWhole) {
    Sequence next;
    roughLayer(next);
    const ToolClearance clearance(TFrez(TFrezDane{"", "Ball3", toolBallNose, 3, 0, 5, 3, 30}),
                                  offsetHeights, pixelSize);
    const PathClearing clearing(clearance, pixelSize / 32, ToolClearance::tolerance);
    // A hatching of 4 000 points over the block and the slot, and the short
    // figures that end a run early: empty, one point, two points.
    FigureList whole;
    whole.push_back(std::make_unique<tFigura>());
    for (int k = 0; k < 4000; ++k)
        whole.back()->poz.push_back(
            {static_cast<float>((k / 40) % 2 ? 19 - k % 40 * 0.45 : k % 40 * 0.45),
             static_cast<float>(k / 40 * 0.16), static_cast<float>(next(3) - 1)});
    whole.push_back(std::make_unique<tFigura>());
    whole.push_back(std::make_unique<tFigura>());
    whole.back()->poz.push_back({10, 8, 0});
    whole.push_back(std::make_unique<tFigura>());
    whole.back()->poz = {{2, 2, 0}, {12, 9, 0}};
    FigureList shared;
    for (const auto& f : whole) shared.push_back(std::make_unique<tFigura>(*f));

    for (const auto& f : whole) clearing.keepClear(*f);
    clearFigures(clearing, shared, 3);
    ASSERT_EQ(shared.size(), whole.size());
    ASSERT_GT(whole[0]->poz.size(), 4000u); // the block made the clearing split moves
    for (std::size_t i = 0; i < whole.size(); ++i) {
        ASSERT_EQ(shared[i]->poz.size(), whole[i]->poz.size()) << "figure " << i;
        for (std::size_t k = 0; k < whole[i]->poz.size(); ++k) {
            const TrPkt3D &a = whole[i]->poz[k], &b = shared[i]->poz[k];
            ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << "figure " << i << " point " << k;
        }
    }
}
