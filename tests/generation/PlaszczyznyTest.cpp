// Planes on hand-made rasters whose walks are worked out by hand, planes on
// the test relief, and flat-area filling around a square.
#include "generation/Plaszczyzny.h"
#include "SweepSupport.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/MotionMap.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

// A 10 x 10 mm raster of 1 mm cells, flat at `base` but for the cells where
// `raised` holds, which stand at 8 mm. The motion map equals the offset map.
template <class F> void table(float base, F raised) {
    pixelSize = 1;
    rasterSizeX = rasterSizeY = 10;
    modelSize = {10, 10, 8};
    allocateRasters();
    for (int ix = 0; ix <= 10; ++ix)
        for (int iy = 0; iy <= 10; ++iy) offsetHeights[ix][iy] = raised(ix, iy) ? 8.0f : base;
    motionHeights = offsetHeights;
}

// A 1 mm end mill: enlarged by the 2 mm step it covers the cell and its four
// side neighbours.
TFrezDane endMill() {
    TFrezDane t;
    t.typ = toolEndMill;
    t.d1 = t.d3 = 1;
    t.h = t.hc = 20;
    return t;
}

TOperacjaDane planes(double step) {
    TOperacjaDane o;
    o.idTyp = opPlanes;
    o.warstwaSzer = step;
    o.granicaZdolna = 0;
    o.granicaZgorna = 100;
    return o;
}

void expectWalk(const tFigura& f, const std::vector<std::pair<float, float>>& xy, float z) {
    ASSERT_EQ(f.poz.size(), xy.size());
    for (size_t k = 0; k < xy.size(); ++k) {
        EXPECT_EQ(f.poz[k].x, xy[k].first) << k;
        EXPECT_EQ(f.poz[k].y, xy[k].second) << k;
        EXPECT_EQ(f.poz[k].z, z) << k;
    }
    EXPECT_TRUE(f.plaszczyzna);
    EXPECT_FALSE(f.warstwa);
    EXPECT_EQ(f.fig_ppz, double(z));
}

} // namespace

TEST(Plaszczyzny, ATableIsFacedInOneZigzagAlongY) {
    table(4, [](int, int) { return false; });
    generujPlaszczyzny(planes(2), TFrez(endMill()));
    // Nodes every 2 mm; the sixth column and row (at 12 mm) hold no cell.
    ASSERT_EQ(figureList.size(), 1u);
    expectWalk(*figureList[0],
               {{0, 0},
                {0, 10},
                {2, 10},
                {2, 0},
                {4, 0},
                {4, 10},
                {6, 10},
                {6, 0},
                {8, 0},
                {8, 10},
                {10, 10},
                {10, 0}},
               4);
}

TEST(Plaszczyzny, NodesWhereTheEnlargedToolCutsAWallAreNeverVisited) {
    // A pillar at x = 5, y = 4..6: its 3 mm² stay under 5 % of the plan, so
    // only the table is a plane. The enlarged tool at the nodes on cells
    // (4, 4), (6, 4), (4, 6) and (6, 6) would touch it.
    table(4, [](int x, int y) { return x == 5 && y >= 4 && y <= 6; });
    generujPlaszczyzny(planes(2), TFrez(endMill()));
    ASSERT_EQ(figureList.size(), 3u);
    expectWalk(*figureList[0],
               {{0, 0},
                {0, 10},
                {2, 10},
                {2, 0},
                {4, 0},
                {4, 2},
                {6, 2},
                {6, 0},
                {8, 0},
                {8, 10},
                {10, 10},
                {10, 0}},
               4);
    // The four nodes above the pillar: the walk turns down into its last node
    // and ends there, which still belongs to the path.
    expectWalk(*figureList[1], {{4, 8}, {4, 10}, {6, 10}, {6, 8}}, 4);
    for (const auto& f : figureList)
        for (const TrPkt3D& p : f->poz) {
            const bool nearPillar = p.x > 3 && p.x < 7 && p.y > 3 && p.y < 7;
            EXPECT_FALSE(nearPillar && f->plaszczyzna) << p.x << " " << p.y;
        }
    // The pass around the border of the plane: the three pillar cells.
    const tFigura& around = *figureList[2];
    EXPECT_FALSE(around.plaszczyzna);
    EXPECT_EQ(around.count(), 3);
    EXPECT_NEAR(around.fig_ppz, 4.00033333, 1e-9);
    for (const TrPkt3D& p : around.poz) {
        EXPECT_NEAR(p.x, 5.5, 0.5);
        EXPECT_NEAR(p.y, 5, 2);
    }
}

TEST(Plaszczyzny, APlaneBetweenTwoLevelsIsFacedAtItsOwnHeight) {
    // 4.3 mm lies between the levels 4 and 5 of 1 mm cells: facing at the level
    // 4 would cut 0.3 mm into the plane.
    table(4.3f, [](int, int) { return false; });
    generujPlaszczyzny(planes(2), TFrez(endMill()));
    ASSERT_EQ(figureList.size(), 1u);
    for (const TrPkt3D& p : figureList[0]->poz) EXPECT_EQ(p.z, 4.3f);
}

TEST(Plaszczyzny, SmallFlatPartsGiveNoPlanePasses) {
    // Heights 0.05 mm apart cell by cell: a level of 1 mm cells holds at most 20
    // of them, 20 mm² of 400, not more than 5 %.
    pixelSize = 1;
    rasterSizeX = rasterSizeY = 20;
    modelSize = {20, 20, 22};
    allocateRasters();
    for (int ix = 0; ix <= 20; ++ix)
        for (int iy = 0; iy <= 20; ++iy) offsetHeights[ix][iy] = 0.05f * float(ix + 21 * iy);
    motionHeights = offsetHeights;
    generujPlaszczyzny(planes(2), TFrez(endMill()));
    EXPECT_TRUE(figureList.empty());

    surfacingFraction = 0.04; // 16 mm²: now every level is a plane
    generujPlaszczyzny(planes(2), TFrez(endMill()));
    EXPECT_FALSE(figureList.empty());
}

TEST(Plaszczyzny, ReliefPassesStayOnTheMotionMapInsideThePlan) {
    test::makeRelief(30, 20, 5);
    TFrezDane ball;
    ball.typ = toolBallNose;
    ball.d1 = ball.d3 = 3;
    ball.h = ball.hc = 20;
    applyAllowance(0.2);
    clearLayer(motionHeights);
    sweepTool(TFrez(ball), 2);
    generujPlaszczyzny(planes(1), TFrez(ball));
    int planePasses = 0;
    for (const auto& f : figureList) {
        if (f->plaszczyzna) ++planePasses;
        for (const TrPkt3D& p : f->poz) {
            EXPECT_GE(p.z, motionHeightInterpolated(p) - 1e-4) << p.x << " " << p.y;
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 30);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, 20);
            if (f->plaszczyzna) {
                EXPECT_EQ(p.z, float(f->fig_ppz));
            }
        }
    }
    // The base margin at 0.2 mm and the block's top at 11.2 mm.
    EXPECT_GE(planePasses, 2);
}

namespace {

// A flat 20 x 20 mm raster of 1 mm cells with the motion map at 0 and one
// closed square outline from (2, 2) to (18, 18), a point every cell.
void squareOutline() {
    pixelSize = 1;
    rasterSizeX = rasterSizeY = 20;
    modelSize = {20, 20, 1};
    allocateRasters();
    auto f = std::make_unique<tFigura>();
    auto side = [&](float x0, float y0, float dx, float dy) {
        for (int k = 0; k < 16; ++k) f->poz.push_back({x0 + k * dx, y0 + k * dy, 0});
    };
    side(2, 2, 1, 0);
    side(18, 2, 0, 1);
    side(18, 18, -1, 0);
    side(2, 18, 0, -1);
    f->poz.push_back({2, 2, 0});
    f->zamknieta = true;
    figureList.push_back(std::move(f));
}

} // namespace

TEST(WypelnijObszaryPlaskie, OneRingStampsTheOutlinesAndTracesOneSetOfRings) {
    squareOutline();
    // A second outline on the same path clears nothing: it stops cutting.
    figureList.push_back(std::make_unique<tFigura>(*figureList[0]));
    const RingStarts starts = wypelnijObszaryPlaskie(0, 0.5, 1, 4);
    // The band of 2 mm diameter clears the cells within one cell of the
    // outline: x or y in 1..3 or 17..19. Left to trace: the raster's border
    // cells and the inner square 4..16, whose ring runs half a cell outside it.
    // The rings, stamped with a ring of the step's diameter, clear 2 cells to
    // either side of themselves; the middle stays to clear.
    EXPECT_EQ(flatMask[10][2], 0.0f);
    EXPECT_EQ(flatMask[10][10], 1.0f);
    ASSERT_EQ(figureList.size(), 4u);
    EXPECT_TRUE(figureList[0]->wybierajaca);
    EXPECT_FALSE(figureList[1]->wybierajaca);
    EXPECT_EQ(starts.firstRingStart, 4);
    EXPECT_EQ(starts.lastRingStart, 2); // no pass reached the last-but-one ring
    const tFigura* inner = nullptr;
    for (size_t k = 2; k < 4; ++k)
        if (figureList[k]->Pmin.x > 1) inner = figureList[k].get();
    ASSERT_NE(inner, nullptr);
    EXPECT_TRUE(inner->zamknieta);
    EXPECT_EQ(inner->Pmin.x, 3.5f);
    EXPECT_EQ(inner->Pmin.y, 3.5f);
    EXPECT_EQ(inner->Pmax.x, 16.5f);
    EXPECT_EQ(inner->Pmax.y, 16.5f);
    EXPECT_EQ(inner->obrys, 1);
    EXPECT_EQ(inner->pochodzi, -1);
    for (const TrPkt3D& p : inner->poz) EXPECT_EQ(p.z, 0.0f);
}

TEST(WypelnijObszaryPlaskie, RingsGoInwardAStepApartUntilAPassMakesNone) {
    squareOutline();
    const RingStarts starts = wypelnijObszaryPlaskie(0, 0.5, 2147483647, 2);
    // Pass 0: the 2 mm band clears the cells next to the outline (1..3,
    // 17..19); rings half a cell outside the cells left, the border cells and
    // 4..16. Each ring clears its own cells and one cell either side (cells 3..5
    // for the ring at 3.5). Pass 1: the 6 mm band around the outline alone
    // reaches cell 5; the ring around 6..14 follows, a step (2 mm) inside the
    // first. Pass 2: the 10 mm band reaches cell 7, the ring at 5.5 clears
    // 5..7; the ring around 8..12. Pass 3: the 14 mm band reaches cell 9, the
    // ring at 7.5 clears 7..9 and 11..13; the lone cell 10 is cleaned away and
    // no ring is left.
    ASSERT_EQ(figureList.size(), 5u);
    const float boxes[4][2] = {{0.5f, 19.5f}, {3.5f, 16.5f}, {5.5f, 14.5f}, {7.5f, 12.5f}};
    for (size_t k = 1; k < 5; ++k) {
        const tFigura& f = *figureList[k];
        EXPECT_TRUE(f.zamknieta) << k;
        EXPECT_EQ(f.Pmin.x, boxes[k - 1][0]) << k;
        EXPECT_EQ(f.Pmin.y, boxes[k - 1][0]) << k;
        EXPECT_EQ(f.Pmax.x, boxes[k - 1][1]) << k;
        EXPECT_EQ(f.Pmax.y, boxes[k - 1][1]) << k;
    }
    EXPECT_EQ(starts.firstRingStart, 3);
    EXPECT_EQ(starts.lastRingStart, 1);
}
