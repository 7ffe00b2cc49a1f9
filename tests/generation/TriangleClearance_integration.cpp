// Every milling type on models made to be hard for a raster (a relief with
// spikes, a ridge and a cliff finer than a cell; an open surface with free
// edges over a plane; a closed part with overhangs), at 5 and 10 cells per mm:
// every point and every move of the finished paths measured against the
// exact contact of the tool with the triangles, worked out by brute force.
#include "ContactReference.h"
#include "HardModels.h"
#include "TestSupport.h"

#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/GenProcesowWatek.h"
#include "generation/KorygujMasterWatek.h"
#include "generation/MotionMap.h"
#include "generation/TriangleClearance.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

using namespace korvane;

namespace {

const TFrezDane ball3{"", "Ball3", toolBallNose, 3, 0, 5, 3, 30};
const TFrezDane flat3{"", "Flat3", toolEndMill, 3, 0, 3, 30, 30};
const TFrezDane cone{"", "Cone", toolConical, 0.4, 4, 6, 6, 20};

// Points may stand this far below the exact tip height (their heights are
// singles), moves cut this deep between their ends at most.
constexpr double pointSlack = 0.001, moveSlack = 0.005;
// Moves are looked at this often along their length.
constexpr double moveStep = 0.02;

TOperacjaDane operation(int type, double allowance = 0) {
    TOperacjaDane o;
    o.nazwa = "Op";
    o.idTyp = type;
    o.warstwaSzer = type == opRoughing ? 2 : 0.8;
    o.warstwaGrubosc = type == opRoughing ? 2.5 : 1;
    o.zostawDoNastOper = allowance;
    o.polaczoneKonce = true;
    o.granicaZgorna = 170;
    o.szybkosc = 3000;
    return o;
}

// The strategy on the motion map, then, with `clear`, the clearance against
// the triangles, as the generation thread runs them.
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
    if (!clear) return;
    const bool finishing = o.idTyp != opRoughing;
    if (finishing) applyAllowance(o.zostawDoNastOper);
    keepClearOfTriangles(frez, o.zostawDoNastOper, finishing ? Floor::raster : Floor::motionMap, 2);
}

struct Worst {
    double point = 0, move = 0;
    long long points = 0;
};

// The deepest any point and any move of figureList lies below the tip height
// of `exact`, with `extra` added.
Worst measure(const test::ContactReference& exact, double extra = 0) {
    Worst w;
    for (const auto& f : figureList)
        for (std::size_t k = 0; k < f->poz.size(); ++k) {
            const TrPkt3D& b = f->poz[k];
            ++w.points;
            if (k == 0) {
                w.point = std::max(w.point, exact.tip(b.x, b.y) + extra - b.z);
                continue;
            }
            const TrPkt3D& a = f->poz[k - 1];
            const test::ContactReference near = exact.within(
                std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
            w.point = std::max(w.point, near.tip(b.x, b.y) + extra - b.z);
            const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
            const int n = std::max(1, static_cast<int>(std::ceil(std::hypot(dx, dy) / moveStep)));
            for (int i = 1; i < n; ++i) {
                const double t = double(i) / n;
                w.move =
                    std::max(w.move, near.tip(a.x + t * dx, a.y + t * dy) + extra - (a.z + t * dz));
            }
        }
    return w;
}

void expectClear(const Worst& w, const std::string& what) {
    std::printf("%-40s %7lld points, worst point %.5f mm, worst move %.5f mm below\n", what.c_str(),
                w.points, w.point, w.move);
    EXPECT_LE(w.point, pointSlack) << what;
    EXPECT_LE(w.move, moveSlack) << what;
}

struct Model {
    const char* name;
    TriangleList (*make)();
};

class HardModels : public ::testing::TestWithParam<std::tuple<Model, int>> {
  protected:
    void SetUp() override {
        test::resetState(ui);
        const auto [model, cells] = GetParam();
        test::useModel(model.make(), cells);
        name = std::string(model.name) + " at " + std::to_string(cells) + "/mm ";
    }

    test::RecordingUserInterface ui;
    std::string name;
};

} // namespace

TEST_P(HardModels, FinishingPathsStayOnOrAboveTheExactSurface) {
    const test::ContactReference exact(modelTriangles, test::referenceParts(ball3));
    for (int type : {opLayeredFinishing, opPlanes, opHatching, opMixed}) {
        generate(operation(type), ball3);
        expectClear(measure(exact), name + "type " + std::to_string(type));
    }
    // Hatching with the flat and the conical tool.
    for (const TFrezDane& tool : {flat3, cone}) {
        generate(operation(opHatching), tool);
        const test::ContactReference other(modelTriangles, test::referenceParts(tool));
        expectClear(measure(other), name + "hatching, " + tool.nazwa);
    }
}

TEST_P(HardModels, CorrectedPointsStayOnOrAboveTheExactSurface) {
    // The precise correction alone, before any clearance: only its points are
    // measured.
    const test::ContactReference exact(modelTriangles, test::referenceParts(ball3));
    for (int type : {opLayeredFinishing, opPlanes, opHatching, opMixed}) {
        TOperacjaDane o = operation(type);
        o.ObliczeniaPrecyzyjne = true;
        generate(o, ball3, false);
        cKorygujMaster(TFrez(ball3), 0, modelSize.z, 2).Execute();
        Worst w;
        for (const auto& f : figureList)
            for (const TrPkt3D& p : f->poz) {
                ++w.points;
                if (!f->plaszczyzna) w.point = std::max(w.point, exact.tip(p.x, p.y) - p.z);
            }
        expectClear(w, name + "corrected, type " + std::to_string(type));
    }
}

TEST_P(HardModels, RoughingKeepsItsAllowance) {
    // Keeping 0.3 mm from the model, the tool stands at least 0.3 mm above
    // where it would touch, and touches nowhere when 0.3 mm wider.
    const double allowance = 0.3;
    generate(operation(opRoughing, allowance), flat3);
    const test::ContactReference exact(modelTriangles, test::referenceParts(flat3));
    const test::ContactReference wider(modelTriangles,
                                       test::widened(test::referenceParts(flat3), allowance));
    expectClear(measure(exact, allowance), name + "roughing, lowered");
    expectClear(measure(wider), name + "roughing, widened");
}

INSTANTIATE_TEST_SUITE_P(
    Models, HardModels,
    ::testing::Combine(::testing::Values(Model{"spikes", test::spikyRelief},
                                         Model{"open", test::openSurfaceOverPlane},
                                         Model{"mushroom", test::mushroomOnPlate}),
                       ::testing::Values(5, 10)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" +
               std::to_string(std::get<1>(info.param));
    });
