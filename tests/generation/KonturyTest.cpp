// Contour tracing on hand-made rasters whose contours are worked out by hand,
// and layered finishing on a cone and on a relief.
#include "generation/Kontury.h"
#include "SweepSupport.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/GenState.h"
#include "generation/MotionMap.h"
#include "generation/Warstwowa.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

// A 10 x 10 raster at one cell per mm whose motion map is 5 mm on the cells
// where `raised` holds and 0 elsewhere.
template <class F> void plateau(F raised) {
    pixelSize = 1;
    rasterSizeX = rasterSizeY = 10;
    modelSize = {10, 10, 5};
    allocateRasters();
    for (int ix = 0; ix <= 10; ++ix)
        for (int iy = 0; iy <= 10; ++iy) motionHeights[ix][iy] = raised(ix, iy) ? 5.0f : 0.0f;
}

void tracePlateau() {
    traceContours(motionHeights, 0, 0, rasterSizeX, rasterSizeY, 2.5);
}

void expectPoints(const tFigura& f, const std::vector<std::pair<float, float>>& xy) {
    ASSERT_EQ(f.poz.size(), xy.size());
    for (size_t k = 0; k < xy.size(); ++k) {
        EXPECT_EQ(f.poz[k].x, xy[k].first) << k;
        EXPECT_EQ(f.poz[k].y, xy[k].second) << k;
        EXPECT_EQ(f.poz[k].z, 2.5f) << k;
    }
}

// Twice the area enclosed, positive when the figure runs counter-clockwise.
double signedArea(const tFigura& f) {
    double sum = 0;
    for (size_t k = 1; k < f.poz.size(); ++k)
        sum += double(f.poz[k - 1].x) * f.poz[k].y - double(f.poz[k].x) * f.poz[k - 1].y;
    return sum;
}

bool inside(int lo, int hi, int v) {
    return lo <= v && v <= hi;
}

} // namespace

TEST(Kontury, APeakGivesOneClosedContourAroundIt) {
    plateau([](int x, int y) { return inside(4, 6, x) && inside(4, 6, y); });
    tracePlateau();
    ASSERT_EQ(figureList.size(), 1u);
    const tFigura& f = *figureList[0];
    // Crossings halfway between the raised cells and their neighbours, taken
    // column by column from the top left, closed by the first point again.
    expectPoints(f, {{4, 6.5f},
                     {5, 6.5f},
                     {6, 6.5f},
                     {6.5f, 5},
                     {6, 3.5f},
                     {5, 3.5f},
                     {4, 3.5f},
                     {3.5f, 5},
                     {4, 6.5f}});
    EXPECT_TRUE(f.zamknieta);
    EXPECT_TRUE(f.warstwa);
    EXPECT_EQ(f.fig_ppz, 2.5);
    EXPECT_LT(signedArea(f), 0); // traced clockwise
    tFigura turned = f;
    orientCounterClockwise(turned);
    EXPECT_GT(signedArea(turned), 0);
    EXPECT_EQ(turned.poz.front().x, 4.0f);
    EXPECT_EQ(turned.poz[1].x, 3.5f);
    orientCounterClockwise(turned); // already counter-clockwise: unchanged
    EXPECT_EQ(turned.poz[1].x, 3.5f);

    figureList.clear(); // a level above everything cuts nothing
    traceContours(motionHeights, 0, 0, 10, 10, 6);
    EXPECT_TRUE(figureList.empty());
}

TEST(Kontury, TwoIslandsGiveTwoContours) {
    plateau([](int x, int y) {
        return (inside(1, 3, x) && inside(1, 3, y)) || (inside(7, 9, x) && inside(6, 8, y));
    });
    tracePlateau();
    ASSERT_EQ(figureList.size(), 2u);
    EXPECT_TRUE(figureList[0]->zamknieta);
    EXPECT_TRUE(figureList[1]->zamknieta);
    EXPECT_EQ(figureList[0]->poz.front().x, 1.0f); // the left island first
    EXPECT_EQ(figureList[0]->poz.front().y, 3.5f);
    EXPECT_EQ(figureList[1]->poz.front().x, 7.0f);
    EXPECT_EQ(figureList[1]->poz.front().y, 8.5f);
    EXPECT_EQ(figureList[1]->count(), 9);
}

TEST(Kontury, ABoxTraceIgnoresWhatEarlierTracesLeftInTheStatusLayer) {
    plateau([](int x, int y) { return inside(6, 8, x) && inside(6, 8, y); });
    // Crossings and visits marked everywhere, as other traces leave them, the
    // cells right beside the box among them: none may join the contour.
    for (auto& cell : cellStatus.cells()) cell = {cellCrossing | cellVisited | 0x07, {1, 1, 1}};
    for (int y = 0; y <= 10; ++y) cellStatus[3][y] = {cellCrossing, {3, float(y), 2.5f}};
    traceContours(motionHeights, 5, 5, 9, 9, 2.5);
    ASSERT_EQ(figureList.size(), 1u);
    expectPoints(*figureList[0], {{6, 8.5f},
                                  {7, 8.5f},
                                  {8, 8.5f},
                                  {8.5f, 7},
                                  {8, 5.5f},
                                  {7, 5.5f},
                                  {6, 5.5f},
                                  {5.5f, 7},
                                  {6, 8.5f}});
    EXPECT_TRUE(figureList[0]->zamknieta);

    // A plateau the box cuts through: its crossings lie on the box's border,
    // beside the stale crossings of column 3.
    figureList.clear();
    plateau([](int x, int y) { return x <= 8 && inside(6, 8, y); });
    traceContours(motionHeights, 5, 5, 9, 9, 2.5);
    const FigureList clean = std::move(figureList);
    figureList.clear();
    for (auto& cell : cellStatus.cells()) cell = {cellCrossing | cellVisited | 0x07, {1, 1, 1}};
    for (int y = 0; y <= 10; ++y) cellStatus[3][y] = {cellCrossing, {3, float(y), 2.5f}};
    traceContours(motionHeights, 5, 5, 9, 9, 2.5);
    ASSERT_EQ(figureList.size(), clean.size());
    ASSERT_EQ(clean.size(), 1u);
    ASSERT_EQ(figureList[0]->poz.size(), clean[0]->poz.size());
    for (size_t k = 0; k < clean[0]->poz.size(); ++k) {
        EXPECT_EQ(figureList[0]->poz[k].x, clean[0]->poz[k].x) << k;
        EXPECT_EQ(figureList[0]->poz[k].y, clean[0]->poz[k].y) << k;
        EXPECT_GE(figureList[0]->poz[k].x, 4) << k; // nothing from column 3
    }
}

TEST(Kontury, APlateauOnTheEdgeGivesOneOpenContourFromTwoPieces) {
    plateau([](int x, int y) { return inside(3, 7, x) && y <= 3; });
    tracePlateau();
    ASSERT_EQ(figureList.size(), 1u);
    // The first chain runs from the top left corner over the top and down the
    // right side; the left side, traced next, is put before it reversed.
    expectPoints(*figureList[0], {{2.5f, 0},
                                  {2.5f, 1},
                                  {2.5f, 2},
                                  {3, 3.5f},
                                  {4, 3.5f},
                                  {5, 3.5f},
                                  {6, 3.5f},
                                  {7, 3.5f},
                                  {7.5f, 2},
                                  {7.5f, 1},
                                  {7.5f, 0}});
    EXPECT_FALSE(figureList[0]->zamknieta);
}

TEST(Kontury, ShortChainsStayOpenAndEdgeColumnsAreTraced) {
    // A 2 x 2 peak: four points whose ends are 2 mm apart, yet open.
    plateau([](int x, int y) { return inside(4, 5, x) && inside(4, 5, y); });
    tracePlateau();
    ASSERT_EQ(figureList.size(), 1u);
    expectPoints(*figureList[0], {{4, 5.5f}, {5, 5.5f}, {5, 3.5f}, {4, 3.5f}});
    EXPECT_FALSE(figureList[0]->zamknieta);

    // A wall along the left edge: its crossings lie in column 0 only.
    figureList.clear();
    plateau([](int x, int y) { return x == 0 && inside(2, 8, y); });
    tracePlateau();
    ASSERT_EQ(figureList.size(), 1u);
    const tFigura& f = *figureList[0];
    EXPECT_EQ(f.poz.front().y, 8.5f);
    EXPECT_EQ(f.poz.back().y, 1.5f);
    for (const TrPkt3D& p : f.poz) EXPECT_LE(p.x, 0.5f);
}

TEST(Kontury, APrinterTracesFromTheFirstCellsAndStartsAboveAnEmptyCell) {
    settings.printer3D = true;
    plateau([](int x, int y) { return inside(4, 6, x) && inside(4, 6, y); });
    tracePlateau();
    ASSERT_EQ(figureList.size(), 1u);
    // Each crossing stands on the first cell of its pair, the later pair's
    // point kept; the chain starts at (4, 4), the first crossing cell found
    // above a cell without one, column by column from the top down.
    expectPoints(*figureList[0],
                 {{4, 3}, {3, 5}, {4, 6}, {5, 6}, {6, 6}, {6, 5}, {6, 3}, {5, 3}, {4, 3}});
    EXPECT_TRUE(figureList[0]->zamknieta);
}

TEST(Kontury, ABridgeLongerThanEitherPieceIsNotTaken) {
    // Rows from the top (y = 6) down; '#' stands 5 mm high. The chains leave
    // a short open piece beside the big contour: the bridge over the crossing
    // cells to another piece is longer than it, so it stays on its own.
    const char* rows[7] = {"#.###.#", "#.#####", "..#..#.", "#.####.",
                           ".##.#..", "##.#.##", "#.#..##"};
    pixelSize = 1;
    rasterSizeX = rasterSizeY = 6;
    modelSize = {6, 6, 5};
    allocateRasters();
    for (int x = 0; x <= 6; ++x)
        for (int y = 0; y <= 6; ++y) motionHeights[x][y] = rows[6 - y][x] == '#' ? 5.0f : 0.0f;
    tracePlateau();
    ASSERT_EQ(figureList.size(), 2u);
    EXPECT_EQ(figureList[0]->count(), 23);
    EXPECT_TRUE(figureList[0]->zamknieta);
    expectPoints(*figureList[1], {{5, 1.5f}, {6, 1.5f}, {4.5f, 0}});
}

namespace {

// A cone 8 mm high and 8 mm in radius at the middle of a 20 x 20 mm raster of
// half-millimetre cells.
void cone() {
    pixelSize = 0.5;
    rasterSizeX = rasterSizeY = 40;
    modelSize = {20, 20, 8};
    allocateRasters();
    for (int ix = 0; ix <= 40; ++ix)
        for (int iy = 0; iy <= 40; ++iy)
            motionHeights[ix][iy] =
                static_cast<float>(std::max(0.0, 8 - std::hypot(ix * 0.5 - 10, iy * 0.5 - 10)));
}

TOperacjaDane layered(double depth, bool joined) {
    TOperacjaDane o;
    o.idTyp = opLayeredFinishing;
    o.warstwaGrubosc = depth;
    o.granicaZdolna = 0;
    o.granicaZgorna = 100;
    o.polaczoneKonce = joined;
    return o;
}

} // namespace

TEST(Warstwowa, LayersOfAConeRunCounterClockwiseDownToTheBase) {
    cone();
    TOperacjaDane o = layered(2, false);
    o.granicaZdolna = -5; // the levels still stop at the base
    generujWarstwowo(o);
    // Levels 6, 4, 2 and just above 0: one ring each.
    ASSERT_EQ(figureList.size(), 4u);
    const double levels[] = {6.00033333, 4.00033333, 2.00033333, 0.00033333};
    for (size_t k = 0; k < 4; ++k) {
        const tFigura& f = *figureList[k];
        EXPECT_NEAR(f.fig_ppz, levels[k], 1e-9);
        EXPECT_TRUE(f.zamknieta);
        EXPECT_GT(signedArea(f), 0) << k;
        const double radius = 8 - levels[k];
        for (const TrPkt3D& p : f.poz) EXPECT_NEAR(std::hypot(p.x - 10, p.y - 10), radius, 0.4);
    }
}

TEST(Warstwowa, JoinedEndsMakeOneDescendingPath) {
    cone();
    generujWarstwowo(layered(2, true));
    ASSERT_EQ(figureList.size(), 1u);
    const tFigura& f = *figureList[0];
    EXPECT_TRUE(f.laczona);
    EXPECT_FALSE(f.zamknieta);
    // Smoothing draws the small top ring inwards and up the slope by 0.2 mm.
    EXPECT_NEAR(f.poz.front().z, 6, 0.25);
    EXPECT_NEAR(f.poz.back().z, 0, 0.25);
    // Each connector rides one layer above the surface: the path never climbs
    // more than a layer over the lowest point it has reached.
    float lowest = f.poz.front().z;
    int drops = 0;
    for (size_t k = 1; k < f.poz.size(); ++k) {
        const TrPkt3D& p = f.poz[k];
        EXPECT_LE(p.z, lowest + 2 + 0.25) << k;
        if (p.z < lowest - 1) ++drops;
        lowest = std::min(lowest, p.z);
        EXPECT_GE(p.z, motionHeightInterpolated(p) - 1e-4) << k;
    }
    EXPECT_EQ(drops, 3); // 6 -> 4 -> 2 -> 0
}

namespace {

// Layered finishing on the test relief with a 3 mm ball, the motion map swept
// by `workers` threads.
FigureList layeredRelief(int workers, bool joined) {
    figureList.clear();
    test::makeRelief(30, 20, 5);
    test::ballMotionMap(3, workers);
    generujWarstwowo(layered(1, joined));
    return std::move(figureList);
}

} // namespace

TEST(Warstwowa, APrinterJoinsOnlyLayersWithinACellOfEachOther) {
    // The cone's layers lie 2 mm apart, four cells: none is joined.
    settings.printer3D = true;
    cone();
    generujWarstwowo(layered(2, true));
    ASSERT_EQ(figureList.size(), 4u);
    for (const auto& f : figureList) EXPECT_FALSE(f->laczona);
}

TEST(Warstwowa, ReliefPathsStayOnOrAboveTheMotionMapInsideThePlan) {
    const FigureList figures = layeredRelief(1, true);
    ASSERT_GT(figures.size(), 3u);
    for (const auto& f : figures)
        for (const TrPkt3D& p : f->poz) {
            EXPECT_GE(p.z, motionHeightInterpolated(p) - 1e-4) << p.x << " " << p.y;
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 30);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, 20);
        }
}

TEST(Warstwowa, ReliefContoursLieAtTheirLevelWhateverTheWorkerCount) {
    figureList.clear();
    test::makeRelief(30, 20, 5);
    motionHeights = modelHeights;
    for (double z : {0.5, 4.25, 11.5}) {
        figureList.clear();
        traceContours(motionHeights, 0, 0, rasterSizeX, rasterSizeY, z);
        EXPECT_FALSE(figureList.empty()) << z;
        for (const auto& f : figureList) {
            EXPECT_EQ(f->fig_ppz, z);
            for (const TrPkt3D& p : f->poz) EXPECT_EQ(p.z, float(z));
        }
    }

    const FigureList one = layeredRelief(1, true);
    const FigureList three = layeredRelief(3, true);
    ASSERT_EQ(one.size(), three.size());
    for (size_t k = 0; k < one.size(); ++k) {
        ASSERT_EQ(one[k]->count(), three[k]->count()) << k;
        for (size_t i = 0; i < one[k]->poz.size(); ++i) {
            EXPECT_EQ(one[k]->poz[i].x, three[k]->poz[i].x);
            EXPECT_EQ(one[k]->poz[i].y, three[k]->poz[i].y);
            EXPECT_EQ(one[k]->poz[i].z, three[k]->poz[i].z);
        }
    }
}
