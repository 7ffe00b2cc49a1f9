// Chaining of strokes, the layer join along its nearest-neighbour tree and
// the island groups of a print.
#include "StereoSupport.h"
#include "generation/StereoWarstwa.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::test;

namespace {

class StereoLaczenie : public ::testing::Test {
  protected:
    void SetUp() override { figureList.clear(); }
    void TearDown() override { figureList.clear(); }
    TriangleList none;
    tStereoWarstwa layer{none};
};

std::unique_ptr<tFigura> stroke(float x0, float y0, float x1, float y1) {
    auto f = std::make_unique<tFigura>();
    f->poz = {{x0, y0, 0}, {x1, y1, 0}};
    f->PoliczSrodek();
    return f;
}

} // namespace

TEST_F(StereoLaczenie, StrokesHalfAMillimetreApartChainIntoOneZigZag) {
    for (int k = 0; k < 5; ++k) addFigure(stroke(0, 0.5f * k, 10, 0.5f * k));
    addFigure(stroke(0, 7, 10, 7)); // 5 mm from the chain's end
    layer.ilosci.iloscKresek = 6;
    layer.polaczKreski(0, 4);
    ASSERT_EQ(figureList.size(), 2u);
    EXPECT_EQ(layer.ilosci.iloscKresek, 2);
    // Each stroke's far end was nearer: it is reversed before it is appended.
    const std::vector<std::pair<float, float>> zigzag{{0, 0}, {10, 0}, {10, 0.5f}, {0, 0.5f},
                                                      {0, 1}, {10, 1}, {10, 1.5f}, {0, 1.5f},
                                                      {0, 2}, {10, 2}};
    const tFigura& chain = *figureList[0];
    ASSERT_EQ(chain.count(), 10);
    for (size_t i = 0; i < zigzag.size(); ++i) {
        EXPECT_EQ(chain.poz[i].x, zigzag[i].first) << i;
        EXPECT_EQ(chain.poz[i].y, zigzag[i].second) << i;
    }
    EXPECT_FLOAT_EQ(static_cast<float>(chain.dlugosc), 5 * 10 + 4 * 0.5f);
    // The far stroke starts a chain of its own, entered at its nearer end.
    const tFigura& far = *figureList[1];
    EXPECT_EQ(far.poz[0].x, 10.0f);
    EXPECT_EQ(far.poz[1].x, 0.0f);
    // Both chains are numbered, the later one after the earlier.
    EXPECT_GE(chain.nowyNumer, 0);
    EXPECT_GT(far.nowyNumer, chain.nowyNumer);
    EXPECT_EQ(layer.OstatniPunkt.x, 0.0f);
    EXPECT_EQ(layer.OstatniPunkt.y, 7.0f);
}

TEST_F(StereoLaczenie, AClosedPathEnteredAtItsFifthPointIsWalkedRoundToIt) {
    addFigure(polygon({{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}));
    figureList[0]->grupa = 3;
    figureList[0]->NrWarstwy = 4;
    layer.OstatniPunkt = {2.2f, 2.1f, 0};
    layer.kolejnyNumerFigury = 7;
    layer.ilosci.PoczatekKresek = 1;
    layer.polaczWarstwe(0, 0);
    ASSERT_EQ(figureList.size(), 1u);
    const tFigura& path = *figureList[0];
    const std::vector<std::pair<float, float>> walk{{2, 2}, {1, 2}, {0, 2}, {0, 1}, {0, 0},
                                                    {1, 0}, {2, 0}, {2, 1}, {2, 2}};
    ASSERT_EQ(path.count(), 9);
    for (size_t i = 0; i < walk.size(); ++i) {
        EXPECT_EQ(path.poz[i].x, walk[i].first) << i;
        EXPECT_EQ(path.poz[i].y, walk[i].second) << i;
    }
    EXPECT_FALSE(path.zamknieta);
    EXPECT_EQ(path.grupa, 3);
    EXPECT_EQ(path.NrWarstwy, 4);
    EXPECT_EQ(path.nowyNumer, 8); // the ring took 7 when it was joined
    EXPECT_EQ(layer.iloscDolaczonych, 1);
    EXPECT_EQ(layer.ilosci.PoczatekKresek, 0);
}

TEST_F(StereoLaczenie, NestedRingsOfOneGroupBecomeOnePathTwoGroupsTwo) {
    addFigure(square(0, 0, 10, 10));
    addFigure(square(2, 2, 8, 8));
    for (auto& f : figureList) f->grupa = 0;
    layer.OstatniPunkt = {0, 0, 0};
    layer.polaczWarstwe(0, 1);
    ASSERT_EQ(figureList.size(), 1u);
    // The outer ring from the origin; at its point nearest the inner ring
    // (the corner at the origin, 2.83 mm) the whole inner ring, then on.
    EXPECT_EQ(figureList[0]->count(), 5 + 5 + 1);
    EXPECT_EQ(layer.iloscDolaczonych, 2);
    const auto& p = figureList[0]->poz;
    EXPECT_EQ(p[1].x, 2.0f);
    EXPECT_EQ(p[1].y, 2.0f);
    EXPECT_EQ(p[6].x, 0.0f); // back at the outer ring's corner
    EXPECT_EQ(p[6].y, 0.0f);
    EXPECT_EQ(p.back().x, 0.0f);

    figureList.clear();
    addFigure(square(0, 0, 10, 10));
    addFigure(square(2, 2, 8, 8));
    figureList[0]->grupa = 0;
    figureList[1]->grupa = 1;
    layer.polaczWarstwe(0, 1);
    ASSERT_EQ(figureList.size(), 2u);
    EXPECT_EQ(figureList[0]->grupa, 0);
    EXPECT_EQ(figureList[1]->grupa, 1);
    EXPECT_EQ(figureList[0]->count(), 5);
    EXPECT_EQ(figureList[1]->count(), 5);
}

TEST_F(StereoLaczenie, ThousandsOfRingsJoinWithoutRecursion) {
    // Rings in a long row: each is joined from the previous one.
    for (int k = 0; k < 3000; ++k) {
        addFigure(square(3.0f * k, 0, 3.0f * k + 1, 1));
        figureList.back()->grupa = 0;
    }
    layer.polaczWarstwe(0, 2999);
    ASSERT_EQ(figureList.size(), 1u);
    EXPECT_EQ(layer.iloscDolaczonych, 3000);
    EXPECT_EQ(figureList[0]->count(), 3000 * 5 + 2999);
}

TEST_F(StereoLaczenie, IslandsTenMillimetresApartKeepGroupsWithinFourMillimetres) {
    useTriangles({}, 1);
    modelSize = {20, 5, 10};
    auto outline = [&](float x0, float x1, float z) {
        addFigure(square(x0, 0, x1, 5, z));
        auto& f = *figureList.back();
        f.zewnetrzna = true;
        f.NrWarstwy = 0;
        f.lezy_w = -1;
    };
    auto inside = [&](float x0, float x1) {
        addFigure(square(x0 + 1, 1, x1 - 1, 4));
        figureList.back()->grupa = -1;
    };
    layer.GrupujStart();
    outline(0, 5, 0.5f);
    outline(15, 20, 0.5f);
    inside(0, 5);
    inside(15, 20);
    layer.Grupuj(0, 1, 2, 3);
    ASSERT_EQ(layer.gl.size(), 2u);
    EXPECT_DOUBLE_EQ(layer.gl[0].margines, 4.0);
    // Around the model's centre the right island's corner comes first.
    EXPECT_EQ(layer.gl[0].x0, 15.0f);
    EXPECT_EQ(figureList[2]->grupa, 1);
    EXPECT_EQ(figureList[3]->grupa, 0);

    // 3.9 mm higher: the same groups; 4.1 mm higher: formed anew.
    auto nextLayer = [&](float z) {
        figureList.clear();
        outline(0, 5, z);
        outline(15, 20, z);
        inside(0, 5);
        inside(15, 20);
        layer.Grupuj(0, 1, 2, 3);
        return figureList[2]->grupa;
    };
    EXPECT_EQ(nextLayer(4.4f), 1);
    EXPECT_EQ(nextLayer(4.6f), 3);
    // One island less: formed anew.
    figureList.clear();
    outline(0, 5, 4.7f);
    inside(0, 5);
    layer.Grupuj(0, 0, 1, 1);
    EXPECT_EQ(layer.gl.size(), 1u);
    EXPECT_EQ(figureList[1]->grupa, 4);
    // A single island keeps its group for ever.
    EXPECT_DOUBLE_EQ(layer.gl[0].margines, 2147483647.0);
    figureList.clear();
    outline(0, 5, 400);
    inside(0, 5);
    layer.Grupuj(0, 0, 1, 1);
    EXPECT_EQ(figureList[1]->grupa, 4);
    layer.GrupujFinish();
    EXPECT_TRUE(layer.gl.empty());
}

TEST_F(StereoLaczenie, FiguresWithoutAnyGroupGetOneOfTheirOwn) {
    useTriangles({}, 1);
    modelSize = {10, 10, 1};
    layer.GrupujStart();
    addFigure(square(0, 0, 10, 10)); // not marked outer
    addFigure(square(1, 1, 9, 9));
    addFigure(square(2, 2, 8, 8));
    layer.Grupuj(0, 0, 1, 2);
    EXPECT_EQ(figureList[1]->grupa, 0);
    EXPECT_EQ(figureList[2]->grupa, 0);
    EXPECT_EQ(layer.numerGrupy, 1);
}

TEST_F(StereoLaczenie, TheNearestEndMayLieInTheNextSquareOfTheSearch) {
    // The first path ends at (0.99, 0.5). In its own 1 mm square lies an end
    // 0.99 mm away, in the square to its left one 1.49 mm away, in the square
    // to its right one 0.02 mm away: that one comes next.
    auto add = [&](float x0, float y0, float x1, float y1) {
        addFigure(stroke(x0, y0, x1, y1));
        figureList.back()->grupa = 0;
    };
    add(-5, 0.5f, 0.99f, 0.5f);
    add(0, 0.5f, 0, 30);
    add(-0.5f, 0.5f, -0.5f, -30);
    add(1.01f, 0.5f, 30, 0.5f);
    layer.OstatniPunkt = {-5, 0.5f, 0};
    layer.polaczWarstwe(0, 3);
    ASSERT_FALSE(figureList.empty());
    const auto& p = figureList[0]->poz;
    ASSERT_GE(p.size(), 4u);
    EXPECT_EQ(p[1].x, 0.99f);
    EXPECT_EQ(p[2].x, 1.01f);
    EXPECT_EQ(p[3].x, 30.0f);
}
