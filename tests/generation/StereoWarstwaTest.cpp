// The cut of a model at a height into outlines, the hatching of the areas they
// bound and the plane crossing test the hatching and the travel links share.
#include "generation/StereoWarstwa.h"
#include "StereoSupport.h"
#include "geometry/SegmentCrossing.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <set>

using namespace korvane;
using namespace korvane::test;

namespace {

class StereoWarstwa : public ::testing::Test {
  protected:
    void SetUp() override { figureList.clear(); }
    void TearDown() override { figureList.clear(); }
};

std::set<std::pair<float, float>> plan(const tFigura& f) {
    std::set<std::pair<float, float>> points;
    for (const TrPkt3D& p : f.poz) points.insert({p.x, p.y});
    return points;
}

} // namespace

TEST_F(StereoWarstwa, AVertexOnThePlaneCountsAsHigh) {
    // z = Z, Z + 1, Z - 1: the low vertex is alone; its edges are cut at the
    // vertex on the plane and half way up.
    auto s = przekrojTrojkata(triangle({0, 0, 0.5f}, {2, 0, 1.5f}, {0, 2, -0.5f}), 0.5);
    ASSERT_TRUE(s);
    EXPECT_FLOAT_EQ(s->first.x, 0);
    EXPECT_FLOAT_EQ(s->first.y, 0);
    EXPECT_FLOAT_EQ(s->second.x, 1);
    EXPECT_FLOAT_EQ(s->second.y, 1);
    EXPECT_FLOAT_EQ(s->second.z, 0.5f);
    // All vertices at or above Z, and a horizontal triangle lying at Z: nothing.
    EXPECT_FALSE(przekrojTrojkata(triangle({0, 0, 0.5f}, {2, 0, 1}, {0, 2, 2}), 0.5));
    EXPECT_FALSE(przekrojTrojkata(triangle({0, 0, 0.5f}, {2, 0, 0.5f}, {0, 2, 0.5f}), 0.5));
    EXPECT_FALSE(przekrojTrojkata(triangle({0, 0, 0.1f}, {2, 0, 0.2f}, {0, 2, 0.4f}), 0.5));

    // A cube cut at its top face: only the side walls reach from below to it.
    TriangleList cube;
    addBox(cube, 0, 0, 0, 1, 1, 1);
    tStereoWarstwa layer(cube);
    layer.ZWarstwy = 1;
    layer.Execute();
    ASSERT_EQ(layer.ilosci.iloscGlownych, 1);
    EXPECT_TRUE(figureList[0]->zamknieta);
    EXPECT_EQ(plan(*figureList[0]),
              (std::set<std::pair<float, float>>{{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    // ... and at its bottom face nothing: every triangle lies at or above it.
    figureList.clear();
    layer.ZWarstwy = 0;
    layer.ilosci.Start = 0;
    layer.Execute();
    EXPECT_EQ(layer.ilosci.iloscGlownych, 0);
}

TEST_F(StereoWarstwa, CubeCutAtHalfIsOneClosedSquare) {
    TriangleList cube;
    addBox(cube, 0, 0, 0, 1, 1, 1);
    tStereoWarstwa layer(cube);
    layer.ZWarstwy = 0.5;
    layer.ilosci.Start = 0;
    layer.resume();
    layer.waitSuspended();
    ASSERT_EQ(figureList.size(), 1u);
    EXPECT_EQ(layer.ilosci.iloscGlownych, 1);
    EXPECT_EQ(layer.ilosci.iloscOtwartych, 0);
    const tFigura& f = *figureList[0];
    EXPECT_TRUE(f.zamknieta);
    EXPECT_TRUE(f.glowna);
    EXPECT_EQ(f.obrys, 1);
    EXPECT_EQ(f.nowyNumer, -1);
    // Two segments a wall (its diagonal is cut half way): 8 segments, 9 points.
    ASSERT_EQ(f.count(), 9);
    EXPECT_EQ(f.poz.front().x, f.poz.back().x);
    EXPECT_EQ(f.poz.front().y, f.poz.back().y);
    EXPECT_EQ(plan(f),
              (std::set<std::pair<float, float>>{
                  {0, 0}, {0.5f, 0}, {1, 0}, {1, 0.5f}, {1, 1}, {0.5f, 1}, {0, 1}, {0, 0.5f}}));
    for (const TrPkt3D& p : f.poz) EXPECT_FLOAT_EQ(p.z, 0.5f);
    EXPECT_FLOAT_EQ(static_cast<float>(f.dlugosc), 4.0f);
    layer.finish();
    EXPECT_TRUE(layer.zakonczona);
}

TEST_F(StereoWarstwa, SweepFollowsTheLayersUpAndStartsAgainBelow) {
    TriangleList model;
    addBox(model, 0, 0, 0, 2, 2, 1);
    addBox(model, 5, 0, 0, 7, 2, 3);
    tStereoWarstwa layer(model);
    auto cut = [&](double z) {
        layer.ilosci.Start = static_cast<int>(figureList.size());
        layer.ZWarstwy = z;
        layer.resume();
        layer.waitSuspended();
        return layer.ilosci.iloscGlownych;
    };
    EXPECT_EQ(cut(0.5), 2);
    EXPECT_EQ(cut(2), 1); // the low box is left behind
    EXPECT_EQ(cut(3.5), 0);
    EXPECT_EQ(cut(0.25), 2); // below the last plane: swept afresh
    EXPECT_EQ(layer.ilosci.iloscOtwartych, 0);
}

TEST_F(StereoWarstwa, ALoneSegmentIsDropped) {
    TriangleList single{triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 1})};
    tStereoWarstwa layer(single);
    layer.ZWarstwy = 0.5;
    layer.Execute();
    EXPECT_TRUE(figureList.empty());
    EXPECT_EQ(layer.ilosci.iloscGlownych, 0);
}

TEST_F(StereoWarstwa, SquareHatchedAtZeroGivesTenNumberedStrokes) {
    useTriangles({}, 1);
    modelExtents.maxX = modelExtents.maxY = 10;
    addFigure(square(0, 0, 10, 10));
    TriangleList none;
    tStereoWarstwa layer(none);
    layer.ZWarstwy = 0.3;
    layer.zakreskuj(0, 0, 0, 1);
    // Lines at y = -0.001, 0.999, ..., 9.999; the first misses the square.
    ASSERT_EQ(figureList.size(), 11u);
    for (int j = 0; j < 10; ++j) {
        const tFigura& s = *figureList[size_t(j) + 1];
        EXPECT_EQ(s.nrKreski, j);
        EXPECT_TRUE(s.pomocnicza3D);
        ASSERT_EQ(s.count(), 2);
        EXPECT_NEAR(s.poz[0].y, 0.999 + j, 1e-6);
        EXPECT_NEAR(s.poz[1].y, 0.999 + j, 1e-6);
        EXPECT_FLOAT_EQ(s.poz[0].z, 0.3f);
        // Line k = j + 1: odd lines run with x ascending, even ones descending.
        EXPECT_EQ(s.poz[0].x, j % 2 == 0 ? 0.0f : 10.0f);
        EXPECT_EQ(s.poz[1].x, j % 2 == 0 ? 10.0f : 0.0f);
    }
    EXPECT_EQ(layer.aktualnyNrKreski, 10);
    EXPECT_TRUE(figureList[0]->zewnetrzna);
    EXPECT_FALSE(figureList[0]->wewnetrzna);
}

TEST_F(StereoWarstwa, AHoleIsMarkedInnerAndSplitsTheStrokes) {
    useTriangles({}, 1);
    modelExtents.maxX = modelExtents.maxY = 10;
    addFigure(square(0, 0, 10, 10));
    addFigure(square(4, 4, 6, 6));
    TriangleList none;
    tStereoWarstwa layer(none);
    layer.zakreskuj(0, 1, 0, 1);
    // Eight lines cross the square only, two (y 4.999 and 5.999) the hole too.
    ASSERT_EQ(figureList.size(), 2u + 12u);
    EXPECT_TRUE(figureList[0]->zewnetrzna);
    EXPECT_TRUE(figureList[1]->wewnetrzna);
    EXPECT_FALSE(figureList[1]->zewnetrzna);
    // y = 4.999 is line 5, ascending: 0 to 4, then 6 to 10.
    const tFigura &a = *figureList[2 + 4], &b = *figureList[2 + 5];
    EXPECT_EQ(a.poz[0].x, 0.0f);
    EXPECT_EQ(a.poz[1].x, 4.0f);
    EXPECT_EQ(b.poz[0].x, 6.0f);
    EXPECT_EQ(b.poz[1].x, 10.0f);
}

TEST_F(StereoWarstwa, HatchAt135DegreesRunsAtMinus45WithItsSpacing) {
    useTriangles({}, 1);
    modelExtents.maxX = modelExtents.maxY = 10;
    addFigure(square(0, 0, 10, 10));
    TriangleList none;
    tStereoWarstwa layer(none);
    layer.zakreskuj(0, 0, 135 * std::numbers::pi / 180, 1);
    ASSERT_GT(figureList.size(), 10u);
    for (size_t i = 1; i < figureList.size(); ++i) {
        const auto& p = figureList[i]->poz;
        EXPECT_NEAR(p[1].y - p[0].y, -(p[1].x - p[0].x), 1e-4);
    }
    // Neighbouring strokes lie 1 mm apart across their direction.
    const auto &p = figureList[5]->poz, &q = figureList[6]->poz;
    EXPECT_NEAR(std::fabs((p[0].x + p[0].y) - (q[0].x + q[0].y)) / std::sqrt(2.0), 1.0, 1e-4);
}

TEST(SegmentCrossing, EndsCountAndOverlapsCrossAtTheirMiddle) {
    double x = 0, y = 0;
    // A line through a vertex meets both segments there.
    EXPECT_TRUE(segmentsCross({-1, 5, 0}, {11, 5, 0}, {0, 5, 0}, {5, 10, 0}, x, y));
    EXPECT_DOUBLE_EQ(x, 0);
    EXPECT_DOUBLE_EQ(y, 5);
    EXPECT_TRUE(segmentsCross({-1, 5, 0}, {11, 5, 0}, {5, 0, 0}, {0, 5, 0}, x, y));
    EXPECT_DOUBLE_EQ(x, 0);
    EXPECT_DOUBLE_EQ(y, 5);
    // Collinear overlaps: the middle of the overlap.
    EXPECT_TRUE(segmentsCross({0, 0, 0}, {4, 0, 0}, {2, 0, 0}, {6, 0, 0}, x, y));
    EXPECT_DOUBLE_EQ(x, 3);
    EXPECT_TRUE(segmentsCross({1, 0, 0}, {1, 4, 0}, {1, 3, 0}, {1, 9, 0}, x, y));
    EXPECT_DOUBLE_EQ(y, 3.5);
    // Parallel on other lines, and lines meeting beyond a segment: no crossing.
    EXPECT_FALSE(segmentsCross({0, 0, 0}, {4, 0, 0}, {0, 1, 0}, {4, 1, 0}, x, y));
    EXPECT_FALSE(segmentsCross({0, 0, 0}, {4, 4, 0}, {5, 0, 0}, {6, -1, 0}, x, y));
    EXPECT_FALSE(segmentsCross({2, 0, 0}, {2, 1, 0}, {0, 2, 0}, {4, 2, 0}, x, y));
    // A vertical segment against a sloped one.
    EXPECT_TRUE(segmentsCross({2, -5, 0}, {2, 5, 0}, {0, 0, 0}, {4, 2, 0}, x, y));
    EXPECT_DOUBLE_EQ(y, 1);
}

TEST_F(StereoWarstwa, OutlinesAreDrawnIntoALayerAndSetToTheLayerHeight) {
    useTriangles({}, 1);
    addFigure(polygon({{0, 0}, {2, 0}, {2, 1}}, 7));
    TriangleList none;
    tStereoWarstwa layer(none);
    layer.ZWarstwy = 0.3;
    layer.UstawZ(0, 0);
    for (const TrPkt3D& p : figureList[0]->poz) EXPECT_FLOAT_EQ(p.z, 0.3f);
    tpix2d drawn(4, 3);
    layer.zakreskujBitmape(0, 0, drawn);
    for (int ix = 0; ix < 4; ++ix)
        for (int iy = 0; iy < 3; ++iy) {
            if (ix == 3 || iy == 2) {
                EXPECT_EQ(drawn[ix][iy], 0.0f) << ix << "," << iy;
            }
            if (iy == 0 && ix <= 2) {
                EXPECT_FLOAT_EQ(drawn[ix][iy], 0.3f) << ix;
            }
        }
    EXPECT_FLOAT_EQ(drawn[2][1], 0.3f);
}
