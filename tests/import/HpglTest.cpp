// The HPGL plot file reader.
#include "import/HPGL.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

std::vector<tFigura> figures(const std::string& text) {
    Thpgl reader;
    reader.openText(text);
    std::vector<tFigura> out;
    for (;;) {
        tFigura f;
        if (!reader.get_figura(f)) break;
        out.push_back(std::move(f));
    }
    reader.close();
    return out;
}

void expectPoints(const tFigura& f, std::vector<std::pair<float, float>> points) {
    ASSERT_EQ(f.poz.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_FLOAT_EQ(f.poz[i].x, points[i].first) << i;
        EXPECT_FLOAT_EQ(f.poz[i].y, points[i].second) << i;
        EXPECT_EQ(f.poz[i].z, 0.0f);
    }
}

} // namespace

TEST(Hpgl, OneFigureFromPenDownToPenUp) {
    Thpgl reader;
    reader.openText("IN;SP1;PU0,0;PD400,0,400,400;PU;");
    tFigura f;
    ASSERT_TRUE(reader.get_figura(f));
    EXPECT_EQ(f.color, 1);
    expectPoints(f, {{0, 0}, {10, 0}, {10, 10}});
    tFigura next;
    EXPECT_FALSE(reader.get_figura(next));
    EXPECT_TRUE(next.poz.empty());
}

TEST(Hpgl, LowerCaseAndPenChange) {
    auto f = figures("in;sp1;pu0,0;pd40,0;sp2;pd80,0;pu;pa120,0;pd160,0;pu;");
    // The pen change ends the figure; drawing goes on from where the pen is.
    ASSERT_EQ(f.size(), 3u);
    expectPoints(f[0], {{0, 0}, {1, 0}});
    EXPECT_EQ(f[0].color, 1);
    expectPoints(f[1], {{1, 0}, {2, 0}});
    EXPECT_EQ(f[1].color, 2);
    expectPoints(f[2], {{3, 0}, {4, 0}});
}

TEST(Hpgl, ReturnToFirstPointOfTwoPointFigureAddsNothing) {
    auto f = figures("SP1;PU0,0;PD400,0;PD0,0;PD0,400;PU;");
    ASSERT_EQ(f.size(), 1u);
    expectPoints(f[0], {{0, 0}, {10, 0}, {0, 10}});
}

TEST(Hpgl, RelativePlotting) {
    auto f = figures("SP1;PA0,0;PR;PD100,0;PD100,0;PU;");
    ASSERT_EQ(f.size(), 1u);
    expectPoints(f[0], {{0, 0}, {2.5f, 0}, {5, 0}});
}

TEST(Hpgl, PenWidthsFractionsAndSeparators) {
    auto f = figures("IN;PW0.35,3;SP3;PU 40 40\nPD 80.4,40 80,79.6\r\nPU;SP0;");
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].color, 3);
    EXPECT_DOUBLE_EQ(f[0].width, 0.35);
    expectPoints(f[0], {{1, 1}, {2, 1}, {2, 2}});
}

TEST(Hpgl, LastCommandAtTheVeryEndOfTheFileIsKept) {
    // No terminator after the last coordinate pair.
    auto f = figures("SP1;PU0,0;PD400,0,400,400");
    ASSERT_EQ(f.size(), 1u);
    expectPoints(f[0], {{0, 0}, {10, 0}, {10, 10}});
}

TEST(Hpgl, RelativeMovesBeyondTheCoordinateRangeWrapAround) {
    // 2 000 000 000 twice is 4 000 000 000 plotter units, beyond 32 bits:
    // 4 000 000 000 - 2^32 = -294 967 296 units, -7 374 182.4 mm.
    auto f = figures("SP1;PA0,0;PR;PD2000000000,0;PD2000000000,-40;PU;");
    ASSERT_EQ(f.size(), 1u);
    expectPoints(f[0], {{0, 0}, {50000000, 0}, {-7374182.4f, -1}});
}

TEST(Hpgl, EmptyAndUnknownInput) {
    EXPECT_TRUE(figures("").empty());
    EXPECT_TRUE(figures("IN;XX12,13;;;...;PU;").empty());
    Thpgl reader;
    EXPECT_THROW(reader.open("/nonexistent/file.plt"), std::runtime_error);
}

TEST(Hpgl, ReadsAFile) {
    test::TempDir dir;
    test::writeFile(dir / "a.plt", "SP1;PU0,0;PD0,4000;PU;");
    Thpgl reader;
    reader.open(dir / "a.plt");
    tFigura f;
    ASSERT_TRUE(reader.get_figura(f));
    expectPoints(f, {{0, 0}, {0, 100}});
}
