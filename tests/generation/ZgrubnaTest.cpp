// Roughing on small hand-made rasters whose paths and remaining material are
// worked out by hand, and its invariants on a relief with walls and a spike.
#include "generation/Zgrubna.h"
#include "RoughingSupport.h"
#include "StrategyChecks.h"
#include "SweepSupport.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/GenState.h"
#include "generation/MotionMap.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

// A 10 x 4 mm raster at one cell per mm over a flat model at 0: the tool
// reaches the base in the columns up to `reach` and nowhere beyond. The stock
// is a block `stock` mm high with material everywhere.
void pocket(int reach, double stock = 4) {
    pixelSize = 1;
    rasterSizeX = 10;
    rasterSizeY = 4;
    modelSize = {10, 4, 4};
    allocateRasters();
    for (int ix = 0; ix <= 10; ++ix)
        for (int iy = 0; iy <= 4; ++iy) motionHeights[ix][iy] = ix <= reach ? 0.0f : 10.0f;
    fillMaterialRaster(1000);
    project = std::make_unique<TProjekt>();
    project->d.material.zrodlo = materialBlock;
    project->d.material.rozmZ = stock;
}

TOperacjaDane roughing(double spacing, double thickness) {
    TOperacjaDane o;
    o.idTyp = opRoughing;
    o.warstwaSzer = spacing;
    o.warstwaGrubosc = thickness;
    o.granicaZdolna = 0;
    o.granicaZgorna = 170;
    return o;
}

TFrezDane endMill(double diameter) {
    TFrezDane t;
    t.typ = toolEndMill;
    t.d1 = t.d3 = diameter;
    t.h = t.hc = 20;
    return t;
}

void expectPath(const tFigura& f, const std::vector<TrPkt3D>& points) {
    ASSERT_EQ(f.poz.size(), points.size());
    for (size_t k = 0; k < points.size(); ++k) {
        EXPECT_EQ(f.poz[k].x, points[k].x) << k;
        EXPECT_EQ(f.poz[k].y, points[k].y) << k;
        EXPECT_EQ(f.poz[k].z, points[k].z) << k;
    }
}

// A tool that is a single point.
const ToolShape& centre() {
    static const TPkt3D point{};
    static const ToolShape tool({&point, 1});
    return tool;
}

std::vector<double> levels() {
    std::vector<double> z;
    for (const auto& f : figureList) z.push_back(f->fig_ppz);
    return z;
}

} // namespace

TEST(Zgrubna, LayerTopStandsOnTheDominantLevelAboveTheStock) {
    pixelSize = 0.5;
    rasterSizeX = rasterSizeY = 20;
    modelSize = {10, 10, 4};
    allocateRasters();
    offsetHeights[10][10] = 4; // a peak on a flat base at 0
    project = std::make_unique<TProjekt>();
    project->d.material.rozmZ = 5;
    TOperacjaDane o = roughing(2, 2);
    // 0.5, 2.5, 4.5, 6.5: the first level more than a cell above the 5 mm block.
    EXPECT_EQ(roughingLayerTop(o), 6.5);
    project->d.material.rozmZ = 3.9;
    EXPECT_EQ(roughingLayerTop(o), 4.5);
    o.granicaZgorna = 3; // an upper limit below it caps it
    EXPECT_EQ(roughingLayerTop(o), 3);
    o.granicaZgorna = 0; // no upper limit
    EXPECT_EQ(roughingLayerTop(o), 4.5);

    // Without a block the model's top is the stock's.
    project->d.material.zrodlo = materialCoating;
    EXPECT_EQ(roughingLayerTop(o), 4.5);
    // A stock model stands for itself when it rises above the model.
    project->d.material.zrodlo = materialFile;
    fillMaterialRaster(9);
    EXPECT_EQ(roughingLayerTop(o), 10.5);

    // A block below a plate at 3 leaves the top one cell above the plate.
    for (float& h : offsetHeights.cells()) h = 3;
    modelSize.z = 3;
    project->d.material.zrodlo = materialBlock;
    project->d.material.rozmZ = 1;
    EXPECT_EQ(roughingLayerTop(o), 3.5);
}

TEST(Zgrubna, StrokesRunBetweenTheCentresOfTheCellsTheToolCuts) {
    pocket(10);
    motionHeights[0][2] = 10; // column 0 is broken in the middle
    motionHeights[4][3] = 10; // column 4 one cell below its top
    motionHeights[6][4] = 10; // column 6 at its top
    ASSERT_TRUE(layerStrokes(1, 2, 1.5, centre()));
    // Columns x = 0, 2, ..., 10; the last column x = 10 is not scanned twice.
    ASSERT_EQ(figureList.size(), 8u);
    expectPath(*figureList[0], {{0, 0, 1}, {0, 1, 1}});
    expectPath(*figureList[1], {{0, 3, 1}, {0, 4, 1}});
    expectPath(*figureList[2], {{2, 0, 1}, {2, 4, 1}});
    expectPath(*figureList[3], {{4, 0, 1}, {4, 2, 1}});
    expectPath(*figureList[4], {{4, 4, 1}, {4, 4, 1}}); // one cell
    expectPath(*figureList[5], {{6, 0, 1}, {6, 3, 1}});
    expectPath(*figureList[7], {{10, 0, 1}, {10, 4, 1}});
    for (const auto& f : figureList) {
        EXPECT_EQ(f->fig_ppz, 1);
        EXPECT_TRUE(f->warstwa);
    }
    // Nothing to cut above the material.
    figureList.clear();
    fillMaterialRaster(1);
    EXPECT_FALSE(layerStrokes(1, 2, 1.5, centre()));
    EXPECT_TRUE(figureList.empty());
}

TEST(Zgrubna, AToolWiderThanTwoSpacingsAddsStrokesLeftOfTheModel) {
    pocket(10);
    motionHeights[0][2] = 10;
    auto firstColumns = [](double radius) {
        figureList.clear();
        layerStrokes(1, 2, radius, centre());
        std::vector<float> x;
        for (const auto& f : figureList) x.push_back(f->poz[0].x);
        return x;
    };
    // R = 2.5: Round(1.25) = 1, no stroke left of 0.
    EXPECT_EQ(firstColumns(2.5), (std::vector<float>{0, 0, 2, 4, 6, 8, 10}));
    // R = 5: Round(2.5) = 2, one column at -2, a copy of column 0 with its break.
    EXPECT_EQ(firstColumns(5), (std::vector<float>{-2, -2, 0, 0, 2, 4, 6, 8, 10}));
    expectPath(*figureList[0], {{-2, 0, 1}, {-2, 1, 1}});
    expectPath(*figureList[1], {{-2, 3, 1}, {-2, 4, 1}});
    // R = 6: two columns.
    EXPECT_EQ(firstColumns(6), (std::vector<float>{-4, -4, -2, -2, 0, 0, 2, 4, 6, 8, 10}));
}

TEST(Zgrubna, AStrokeEndingOnTheBorderIsTurnedToStartThere) {
    // Columns 0, 5 and 10; only column 5 is free, from row 2 to the top row,
    // which lies on the border while row 2 does not.
    pocket(10);
    for (int iy = 0; iy <= 4; ++iy) motionHeights[0][iy] = motionHeights[10][iy] = 10;
    motionHeights[5][0] = motionHeights[5][1] = 10;
    TOperacjaDane o = roughing(5, 2);
    o.miekkieWejscie = false;
    generujZgrubnie(o, TFrez(endMill(0.5)));
    ASSERT_EQ(figureList.size(), 2u);
    expectPath(*figureList[0], {{5, 4, 3}, {5, 2, 3}});
    expectPath(*figureList[1], {{5, 4, 1}, {5, 2, 1}});
}

TEST(Zgrubna, PocketLayersBecomeRampedZigzagsAndLowerTheMaterial) {
    // Layers at 3 and 1 under a top of 5; the tool (a plus of five cells)
    // reaches the columns up to 6.
    pocket(6);
    generujZgrubnie(roughing(2, 2), TFrez(endMill(3)));
    ASSERT_EQ(figureList.size(), 2u);
    expectPath(*figureList[0], {{0, 4, 5},
                                {0, 0, 3},
                                {0, 4, 3},
                                {2, 4, 3},
                                {2, 0, 3},
                                {4, 0, 3},
                                {4, 4, 3},
                                {6, 4, 3},
                                {6, 0, 3}});
    EXPECT_EQ(figureList[0]->fig_ppz, 3);
    EXPECT_FALSE(figureList[0]->zamknieta);
    EXPECT_EQ(figureList[1]->fig_ppz, 1);
    EXPECT_EQ(figureList[1]->poz[0].z, 3.0f); // the ramp starts a layer up
    EXPECT_EQ(figureList[1]->poz.back().z, 1.0f);
    // The tool reached one cell beyond the last stroke.
    for (int iy = 0; iy <= 4; ++iy) {
        EXPECT_EQ(materialHeights[0][iy], 1.0f);
        EXPECT_EQ(materialHeights[7][iy], 1.0f);
        EXPECT_EQ(materialHeights[8][iy], 1000.0f);
    }

    // A second roughing with a tool that reaches one column further cuts that
    // column alone: the first left no material above its layers elsewhere.
    roughingCount = 2;
    figureList.clear();
    for (int iy = 0; iy <= 4; ++iy) motionHeights[7][iy] = motionHeights[8][iy] = 0;
    generujZgrubnie(roughing(1, 2), TFrez(endMill(0.5)));
    ASSERT_EQ(figureList.size(), 2u);
    expectPath(*figureList[0], {{8, 4, 5}, {8, 0, 3}, {8, 4, 3}});
    expectPath(*figureList[1], {{8, 4, 3}, {8, 0, 1}, {8, 4, 1}});
    EXPECT_EQ(materialHeights[8][2], 1.0f);
    EXPECT_EQ(materialHeights[9][2], 1000.0f);
}

TEST(Zgrubna, ARidgeLeftBesideAWallIsCutFromTheColumnWhoseToolReachesIt) {
    // An earlier roughing left the columns up to 6 at 1 mm and a ridge of 5 mm
    // in column 7, which this tool cannot enter; column 6 carries no material
    // itself, but the tool standing there meets the ridge with its arm.
    pocket(6);
    for (int iy = 0; iy <= 4; ++iy) {
        for (int ix = 0; ix <= 6; ++ix) materialHeights[ix][iy] = 1;
        materialHeights[7][iy] = 5;
    }
    roughingCount = 2;
    TOperacjaDane o = roughing(2, 2);
    o.miekkieWejscie = false;
    generujZgrubnie(o, TFrez(endMill(3)));
    ASSERT_EQ(figureList.size(), 2u);
    expectPath(*figureList[0], {{6, 0, 3}, {6, 4, 3}});
    expectPath(*figureList[1], {{6, 0, 1}, {6, 4, 1}});
    EXPECT_EQ(materialHeights[7][2], 1.0f);
    EXPECT_EQ(materialHeights[8][2], 1000.0f);
}

TEST(Zgrubna, OneRoughingStopsAtTheFirstEmptyLayerSeveralGoOnToTheLowerLimit) {
    // Layers 5, 3, 1 under a 6 mm block; material is left up to 4 only.
    pocket(10, 6);
    fillMaterialRaster(4);
    TOperacjaDane o = roughing(5, 2);
    o.miekkieWejscie = false;
    const TFrez tool(endMill(3));
    generujZgrubnie(o, tool);
    EXPECT_TRUE(figureList.empty());

    roughingCount = 2;
    generujZgrubnie(o, tool);
    EXPECT_EQ(levels(), (std::vector<double>{3, 1}));

    figureList.clear();
    fillMaterialRaster(4);
    o.granicaZdolna = 2;
    generujZgrubnie(o, tool);
    EXPECT_EQ(levels(), (std::vector<double>{3}));
}

TEST(Zgrubna, AnUpperLimitBelowTheTopStartsTheLayersUnderIt) {
    pocket(10);
    TOperacjaDane o = roughing(5, 2);
    o.miekkieWejscie = false;
    o.granicaZgorna = 4; // below the computed top of 5
    generujZgrubnie(o, TFrez(endMill(3)));
    EXPECT_EQ(levels(), (std::vector<double>{2, 0}));
}

TEST(Zgrubna, NoSpacingNoThicknessOrAStopMakesNothing) {
    pocket(10);
    const TFrez tool(endMill(3));
    generujZgrubnie(roughing(0, 2), tool);
    generujZgrubnie(roughing(2, 0), tool);
    generujZgrubnie(roughing(-1, -1), tool);
    EXPECT_TRUE(figureList.empty());
    EXPECT_EQ(materialHeights[5][2], 1000.0f);
    // A stopped generation ends before the first layer.
    generationTerminate = true;
    generujZgrubnie(roughing(2, 2), tool);
    EXPECT_TRUE(figureList.empty());
    EXPECT_EQ(materialHeights[5][2], 1000.0f);
}

TEST(Zgrubna, MaterialFollowsTheToolTipAlongAClimbAndStaysInsideAStockLayer) {
    pocket(10);
    tFigura climb;
    climb.poz = {{0, 2, 1}, {8, 2, 5}};
    lowerMaterial(climb, ToolShape(sweepPoints(TFrez(endMill(0.5)))));
    // 13 steps: cell 4 is met at 6/13 and 7/13 of the way, cell 8 at the end.
    EXPECT_NEAR(materialHeights[4][2], 1 + 4 * 6.0 / 13, 1e-6);
    EXPECT_EQ(materialHeights[8][2], 5.0f);
    EXPECT_EQ(materialHeights[0][2], 1.0f);
    EXPECT_EQ(materialHeights[4][1], 1000.0f);

    // A stock layer of 6 x 5 cells under a raster of 11 x 5: reads beyond it
    // answer its last column, writes stop at its edge.
    materialHeights = tpix2d(6, 5);
    materialHeights.fill(1000);
    EXPECT_TRUE(layerStrokes(1, 2, 1.5, centre()));
    EXPECT_EQ(figureList.back()->poz[0].x, 10.0f);
    lowerMaterial(climb, ToolShape(sweepPoints(TFrez(endMill(3)))));
    EXPECT_EQ(materialHeights.columns(), 6);
    // Cell 5 is met at 8/13 of the way, and from cell 4 by the plus's arm.
    EXPECT_NEAR(materialHeights[5][3], 1 + 4 * 8.0 / 13, 1e-6);
    EXPECT_NEAR(materialHeights[5][2], 1 + 4 * 6.0 / 13, 1e-6);
}

TEST(Zgrubna, AMovePassingUnderTheMapBetweenItsPointsIsLiftedOntoIt) {
    // A flat map at 0 with one cell (5, 2) at 2.
    pocket(10);
    motionHeights[5][2] = 2;
    tFigura f;
    // 16 steps of 0.625 mm along y = 2: only the middle one meets cell 5. It
    // becomes a point at the cell's height, and both halves pass clear.
    f.poz = {{0, 2, 0}, {10, 2, 0}};
    keepAboveMotionMap(f);
    expectPath(f, {{0, 2, 0}, {5, 2, 2}, {10, 2, 0}});

    // From halfway in cell 4 to halfway in cell 6 (halves round to even): both
    // ends rise to the map between the cells, 1, and the two steps of the move
    // meet cell 5 in the middle: the whole move rises by the 1 it lacks.
    f.poz = {{4.5f, 2, 0}, {5.5f, 2, 0}};
    keepAboveMotionMap(f);
    expectPath(f, {{4.5f, 2, 2}, {5.5f, 2, 2}});

    // A move clear of the map, and one above the cell, stay as they are.
    f.poz = {{0, 1, 0}, {10, 1, 0}, {10, 3, 0}, {0, 3, 2.5f}};
    keepAboveMotionMap(f);
    expectPath(f, {{0, 1, 0}, {10, 1, 0}, {10, 3, 0}, {0, 3, 2.5f}});
}

namespace {

// The test relief roughed with a flat end mill on a 13 mm block, the motion map
// made for the tool and the allowance.
void roughRelief(const TFrezDane& tool, double spacing, double thickness, double allowance,
                 int workers = 2) {
    applyAllowance(allowance);
    clearLayer(motionHeights);
    const TFrez frez(tool);
    sweepTool(frez, workers);
    TOperacjaDane o = roughing(spacing, thickness);
    o.zostawDoNastOper = allowance;
    generujZgrubnie(o, frez);
}

void prepareRelief() {
    test::makeRelief(30, 20, 5);
    fillMaterialRaster(1000);
    project = std::make_unique<TProjekt>();
    project->d.material.rozmZ = 13;
}

// The first layer of a roughing with an allowance of 0.4 mm.
double firstLayer(double thickness) {
    TOperacjaDane o = roughing(1, thickness);
    o.zostawDoNastOper = 0.4;
    return roughingLayerTop(o) - thickness;
}

using test::expectAtMostALayerLeft;

double pathLength() {
    double length = 0;
    for (const auto& f : figureList)
        for (size_t k = 1; k < f->poz.size(); ++k) length += distance3(f->poz[k - 1], f->poz[k]);
    return length;
}

} // namespace

TEST(Zgrubna, ReliefPathsClearTheMotionMapAndLeaveAtMostALayer) {
    prepareRelief();
    roughRelief(endMill(3), 1.5, 1.5, 0.4);
    // Layers 12, 10.5, ... 3: the pockets of the waves go deepest.
    ASSERT_GT(figureList.size(), 3u);
    EXPECT_NEAR(figureList.front()->fig_ppz, 12, 1e-9);
    test::expectPathsClear(figureList, true, 0);
    test::expectSegmentsClear(figureList);
    test::expectAllowanceKept();
    expectAtMostALayerLeft(firstLayer(1.5), 1.5);
}

TEST(Zgrubna, ASecondReliefRoughingCutsOnlyWhereTheFirstLeftMaterial) {
    prepareRelief();
    roughingCount = 2;
    roughRelief(endMill(1.6), 0.8, 1.5, 0.4);
    const double alone = pathLength();

    fillMaterialRaster(1000);
    figureList.clear();
    roughRelief(endMill(4), 2, 1.5, 0.4);
    expectAtMostALayerLeft(firstLayer(1.5), 1.5);
    figureList.clear();
    roughRelief(endMill(1.6), 0.8, 1.5, 0.4);
    ASSERT_FALSE(figureList.empty());
    test::expectPathsClear(true);
    // Including the ridges the wide tool left beside the walls.
    expectAtMostALayerLeft(firstLayer(1.5), 1.5);
    // The narrow tool only cleans up after the wide one.
    EXPECT_LT(pathLength(), alone / 3) << alone;
}

TEST(Zgrubna, StampingAlongThePathsMatchesTheToolAtEverySample) {
    // The relief's roughing paths (strokes, connectors, ramps) with a flat end
    // mill whose body widens, a ball and a plain flat end mill: the material and
    // the machined marks must equal those of the whole tool stamped at every
    // sample.
    prepareRelief();
    TFrezDane widening = endMill(3);
    widening.d3 = 5;
    widening.h = 2;
    widening.hc = 4;
    TFrezDane ball = endMill(2.4);
    ball.typ = toolBallNose;
    for (const TFrezDane& t : {widening, ball, endMill(2)}) {
        figureList.clear();
        fillMaterialRaster(1000);
        roughRelief(t, 1.2, 2, 0.4);
        ASSERT_GT(figureList.size(), 3u);
        const TFrez frez(t);
        const ToolShape columns(sweepPoints(frez));

        fillMaterialRaster(1000);
        for (const auto& f : figureList) test::referenceLowerMaterial(*f, sweepPoints(frez));
        const tpix2d expected = materialHeights;
        fillMaterialRaster(1000);
        for (const auto& f : figureList) lowerMaterial(*f, columns);
        EXPECT_TRUE(test::bitIdentical(materialHeights, expected));

        for (auto& cell : cellStatus.cells()) cell.stat = cellUnmachined;
        for (const auto& f : figureList)
            test::referenceClearUnderTool(*f, sweepPoints(frez), cellUnmachined);
        std::vector<std::int32_t> marks;
        for (const auto& cell : cellStatus.cells()) marks.push_back(cell.stat);
        for (auto& cell : cellStatus.cells()) cell.stat = cellUnmachined;
        for (const auto& f : figureList) clearUnderTool(*f, columns, cellUnmachined);
        size_t differing = 0, cleared = 0;
        for (size_t k = 0; k < marks.size(); ++k) {
            differing += cellStatus.cells()[k].stat != marks[k];
            cleared += marks[k] == 0;
        }
        EXPECT_EQ(differing, 0u);
        EXPECT_GT(cleared, marks.size() / 2);
    }
}

TEST(Zgrubna, ReliefPathsAreTheSameWhateverTheWorkerCount) {
    auto rough = [](int workers) {
        prepareRelief();
        figureList.clear();
        roughRelief(endMill(3), 1.5, 1.5, 0.4, workers);
        return std::make_pair(std::move(figureList), materialHeights);
    };
    const auto [one, materialOne] = rough(1);
    const auto [three, materialThree] = rough(3);
    ASSERT_EQ(one.size(), three.size());
    for (size_t k = 0; k < one.size(); ++k) {
        ASSERT_EQ(one[k]->count(), three[k]->count()) << k;
        for (size_t i = 0; i < one[k]->poz.size(); ++i) {
            EXPECT_EQ(one[k]->poz[i].x, three[k]->poz[i].x);
            EXPECT_EQ(one[k]->poz[i].y, three[k]->poz[i].y);
            EXPECT_EQ(one[k]->poz[i].z, three[k]->poz[i].z);
        }
    }
    EXPECT_TRUE(test::bitIdentical(materialOne, materialThree));
}
