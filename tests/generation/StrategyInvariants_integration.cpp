// Every milling strategy on whole models: the sample model read from its file
// and a generated relief with walls, a pocket and an island in it. The paths
// never gouge the part and stay over its plan, roughing leaves at most a layer
// and a second roughing cuts only what the first left, layered contours lie at
// their level, spirals only descend, and the figures do not depend on the
// number of gap-filling threads.
#include "CorrectionSupport.h"
#include "StrategyChecks.h"
#include "SweepSupport.h"
#include "TestSupport.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/GenProcesowWatek.h"
#include "generation/Mieszana.h"
#include "generation/MotionMap.h"
#include "generation/ToolClearance.h"
#include "generation/ToolStamp.h"
#include "generation/Zgrubna.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "output/DaneWyjsciowe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace korvane;

namespace {

const TFrezDane ball3{"", "Ball3", toolBallNose, 3, 0, 5, 3, 30};

TFrezDane endMill(double d) {
    return {"", "End", toolEndMill, d, 0, d, 30, 60};
}

TOperacjaDane operation(int type) {
    TOperacjaDane o;
    o.nazwa = "Op";
    o.idTyp = type;
    o.warstwaSzer = 0.8;
    o.warstwaGrubosc = 2;
    o.polaczoneKonce = true;
    o.granicaZdolna = 0;
    o.granicaZgorna = 170;
    o.szybkosc = 3000;
    return o;
}

TOperacjaDane roughing(double spacing, double allowance) {
    TOperacjaDane o = operation(opRoughing);
    o.warstwaSzer = spacing;
    o.warstwaGrubosc = 3;
    o.zostawDoNastOper = allowance;
    return o;
}

// The motion map of `tool` with the operation's allowance, then the strategy,
// as the generation thread runs them; figures of fewer than two points go;
// then, with `clear`, the paths kept clear of the raster with the true tool.
void generate(const TOperacjaDane& o, const TFrezDane& tool, bool clear = true) {
    figureList.clear();
    applyAllowance(o.zostawDoNastOper);
    clearLayer(motionHeights);
    const TFrez frez(tool);
    sweepTool(frez, motionWorkerCount());
    for (auto& cell : cellStatus.cells()) cell.stat &= ~0xF;
    ASSERT_TRUE(runStrategy(o, frez, {}));
    std::erase_if(figureList, [](const auto& f) { return f->count() < 2; });
    ASSERT_FALSE(figureList.empty()) << "type " << o.idTyp;
    if (clear && o.idTyp != opRoughing) {
        applyAllowance(o.zostawDoNastOper);
        keepToolClear(frez, 2);
    }
}

// The first layer a roughing cuts.
double firstLayer(const TOperacjaDane& o) {
    return roughingLayerTop(o) - o.warstwaGrubosc;
}

// Every spiral ends lower than it starts.
void expectSpiralsDescend(const FigureList& figures) {
    int spirals = 0;
    for (const auto& f : figures) {
        if (f->spirala != 1) continue;
        ++spirals;
        EXPECT_LT(f->poz.back().z, f->poz.front().z);
    }
    EXPECT_GT(spirals, 0);
}

// A 40 x 30 mm relief: a 2 mm base, a plateau 8 mm high over [5, 35] x [5, 25]
// with vertical walls, a pocket 3 mm deep into it over [12, 28] x [10, 20] and
// an island 7 mm high in the pocket over [18, 22] x [13, 17].
TriangleList wallsPocketAndIsland() {
    std::vector<double> xs = test::evenSteps(40, 80), ys = test::evenSteps(30, 60);
    for (double x : {5.0, 12.0, 18.0, 22.0, 28.0, 35.0}) xs.push_back(x - 0.01);
    for (double y : {5.0, 10.0, 13.0, 17.0, 20.0, 25.0}) ys.push_back(y - 0.01);
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    return test::heightFieldMesh(xs, ys, [](double x, double y) {
        auto in = [&](double x0, double x1, double y0, double y1) {
            return x >= x0 && x < x1 && y >= y0 && y < y1;
        };
        if (in(18, 22, 13, 17)) return 7.0;
        if (in(12, 28, 10, 20)) return 5.0;
        if (in(5, 35, 5, 25)) return 8.0;
        return 2.0;
    });
}

class StrategiesOnModels : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        test::resetState(ui);
        if (std::string(GetParam()) == "sample")
            test::useModel(test::readModel(std::filesystem::path(KORVANE_SOURCE_DIR) / "samples" /
                                           "Sample.stl"),
                           2.5);
        else
            test::useModel(wallsPocketAndIsland(), 4);
        ASSERT_FALSE(modelTriangles.empty());
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
};

} // namespace

TEST_P(StrategiesOnModels, FinishingPathsNeverGougeAndStayOverThePlan) {
    for (int type : {opLayeredFinishing, opPlanes, opHatching, opMixed}) {
        SCOPED_TRACE(type);
        generate(operation(type), ball3);
        test::expectPathsClear();
    }
    // The plot's lines: a zigzag across the model, 40 plotter units a mm.
    const auto plot = dir / "zigzag.plt";
    test::writeFile(plot, "IN;SP1;PU40,40;PD1560,40,40,600,1560,1160;PU;");
    TOperacjaDane o = operation(opPlotHatching);
    o.plikPlt = plot.string();
    generate(o, ball3);
    test::expectPathsClear();
}

TEST_P(StrategiesOnModels, LayeredContoursLieAtTheirLevelsAndSpiralsDescend) {
    TOperacjaDane o = operation(opLayeredFinishing);
    o.polaczoneKonce = false;
    generate(o, ball3);
    // Every point at its level as the output file writes it (to a thousandth
    // of a mm), but for those that smoothing drew in plan over
    // higher ground or that stand beside a steep face: those stand exactly as
    // high as the tool must there (on the motion map or on the true tool's
    // clearance, whichever is higher), or, added between two points where the
    // straight move would cut, on that move and above it.
    const ToolClearance clearance(TFrez(ball3), offsetHeights, pixelSize);
    size_t raised = 0, added = 0, points = 0;
    for (const auto& f : figureList)
        for (const TrPkt3D& p : f->poz) {
            ++points;
            const auto level = static_cast<float>(onOutputGrid(f->fig_ppz));
            if (p.z == level) continue;
            ++raised;
            const float must = clearance.raised({p.x, p.y, level}).z;
            if (p.z == must) continue;
            ++added;
            ASSERT_GT(p.z, must) << p.x << " " << p.y;
        }
    EXPECT_LT(added, raised);
    EXPECT_LT(raised, points);

    // As the strategy makes them: the clearance may still raise a spiral's
    // points where the true tool must stand higher.
    generate(operation(opMixed), ball3, false);
    expectSpiralsDescend(figureList);
}

namespace {

// Roughing never cuts below the allowance: no point and no stretch between
// points lies below the motion map, exactly, so no cell of material ends below
// the model raised by the allowance.
void expectRoughingClear() {
    test::expectPathsClear(figureList, true, 0);
    test::expectSegmentsClear(figureList);
    test::expectAllowanceKept();
}

} // namespace

TEST_P(StrategiesOnModels, RoughingLeavesAtMostALayerAndStaysOutOfTheAllowance) {
    // The library's roughing (strokes and layers 3 mm, 1 mm allowance), then a
    // thinner allowance with ramp entries.
    TOperacjaDane o = roughing(3, 1);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        fillMaterialRaster(1000);
        generate(o, endMill(6));
        expectRoughingClear();
        test::expectAtMostALayerLeft(firstLayer(o), o.warstwaGrubosc);
        o = roughing(3, 0.5);
        o.miekkieWejscie = true;
    }
}

TEST_P(StrategiesOnModels, ASecondRoughingCutsOnlyWhereTheFirstLeftMaterial) {
    roughingCount = 2;
    const TOperacjaDane wide = roughing(4, 0.5), narrow = roughing(1.5, 0.5);
    generate(wide, endMill(8));
    const tpix2d afterWide = materialHeights;
    generate(narrow, endMill(3));
    expectRoughingClear();
    test::expectAtMostALayerLeft(firstLayer(narrow), narrow.warstwaGrubosc);
    // Each path of the second roughing, run alone over what the first left,
    // takes material off.
    const ToolShape tool(sweepPoints(TFrez(endMill(3))));
    size_t idle = 0;
    for (const auto& f : figureList) {
        materialHeights = afterWide;
        lowerMaterial(*f, tool);
        idle += test::bitIdentical(materialHeights, afterWide);
    }
    EXPECT_EQ(idle, 0u) << "of " << figureList.size() << " paths";
}

TEST_P(StrategiesOnModels, TheMixedStrategyIsTheSameOnOneThreadAndOnFour) {
    applyAllowance(0);
    clearLayer(motionHeights);
    sweepTool(TFrez(ball3), motionWorkerCount());
    auto run = [](int workers) {
        figureList.clear();
        generujMieszane(operation(opMixed), workers, {});
        return std::move(figureList);
    };
    const FigureList one = run(1), four = run(4);
    ASSERT_EQ(one.size(), four.size());
    for (size_t k = 0; k < one.size(); ++k) {
        ASSERT_EQ(one[k]->count(), four[k]->count()) << k;
        for (size_t i = 0; i < one[k]->poz.size(); ++i) {
            ASSERT_EQ(one[k]->poz[i].x, four[k]->poz[i].x);
            ASSERT_EQ(one[k]->poz[i].y, four[k]->poz[i].y);
            ASSERT_EQ(one[k]->poz[i].z, four[k]->poz[i].z);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, StrategiesOnModels, ::testing::Values("sample", "relief"));
