// The path correction on whole models: the sample relief read from its file
// and a generated mesh of sharp ridges and steep walls, hatched on the raster,
// then corrected against their triangles.
#include "CorrectionSupport.h"
#include "TestSupport.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/GenProcesowWatek.h"
#include "generation/KorygujMasterWatek.h"
#include "generation/MotionMap.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

#include <limits>

using namespace korvane;

namespace {

const TFrezDane ball3{"", "Ball3", toolBallNose, 3, 0, 5, 3, 10};

TOperacjaDane hatching(double angle, double allowance) {
    TOperacjaDane o;
    o.nazwa = "Lining";
    o.idTyp = opHatching;
    o.warstwaSzer = 0.3;
    o.kat = angle;
    o.zostawDoNastOper = allowance;
    o.polaczoneKonce = true;
    o.granicaZgorna = 170;
    o.szybkosc = 3000;
    o.ObliczeniaPrecyzyjne = true;
    return o;
}

// The strategy's figures on the motion map of `frez`, repeated points removed.
void hatch(const TOperacjaDane& o, const TFrez& frez) {
    applyAllowance(o.zostawDoNastOper);
    clearLayer(motionHeights);
    sweepTool(frez, motionWorkerCount());
    figureList.clear();
    runStrategy(o, frez);
    for (int i = static_cast<int>(figureList.size()) - 1; i >= 0; --i)
        if (figureList[size_t(i)]->count() < 2) deleteFigure(i);
    for (auto& f : figureList) f->UsunDuplikacjePunktow();
}

void restore(const std::vector<std::vector<TrPkt3D>>& points) {
    for (size_t k = 0; k < points.size(); ++k) figureList[k]->poz = points[k];
}

struct Moves {
    double closest = 1e9; // smallest distance of a ball centre from the model
    double largest = 0;   // largest distance a point moved
};

Moves measure(const std::vector<std::vector<TrPkt3D>>& before, double radius) {
    Moves m;
    const TriangleGrid grid(modelTriangles, radius + 1);
    std::vector<std::int32_t> near;
    for (size_t k = 0; k < before.size(); ++k)
        for (size_t i = 0; i < before[k].size(); ++i) {
            const TrPkt3D &a = before[k][i], &b = figureList[k]->poz[i];
            m.largest = std::max(m.largest, distance3(a, b));
            grid.near(b.x, b.y, -std::numeric_limits<double>::infinity(), near);
            for (const std::int32_t t : near) {
                const Point3 c{b.x, b.y, b.z + radius};
                const Point3 q = nearestOnTriangle(modelTriangles[size_t(t)], c);
                m.closest = std::min(m.closest, std::sqrt((c.x - q.x) * (c.x - q.x) +
                                                          (c.y - q.y) * (c.y - q.y) +
                                                          (c.z - q.z) * (c.z - q.z)));
            }
        }
    return m;
}

// Corrects the hatching of the loaded model with 1, 2 and all workers: the
// same points every time; every ball centre at least its radius plus the
// allowance from the model, and no point moved farther than `largestMove`.
void checkCorrection(const TOperacjaDane& o, double largestMove) {
    const TFrez frez(ball3);
    hatch(o, frez);
    ASSERT_FALSE(figureList.empty());
    const auto before = test::pointsOf(figureList);
    cKorygujMaster(frez, o.zostawDoNastOper, 100, 1).Execute();
    const auto one = test::pointsOf(figureList);
    for (const int workers : {2, motionWorkerCount(31)}) {
        restore(before);
        cKorygujMaster(frez, o.zostawDoNastOper, 100, workers).Execute();
        const auto again = test::pointsOf(figureList);
        for (size_t k = 0; k < one.size(); ++k)
            for (size_t i = 0; i < one[k].size(); ++i) {
                ASSERT_EQ(one[k][i].x, again[k][i].x) << workers << " " << k << " " << i;
                ASSERT_EQ(one[k][i].y, again[k][i].y) << workers << " " << k << " " << i;
                ASSERT_EQ(one[k][i].z, again[k][i].z) << workers << " " << k << " " << i;
            }
    }
    const Moves m = measure(before, ball3.d1 / 2);
    EXPECT_GE(m.closest, ball3.d1 / 2 + o.zostawDoNastOper - 1e-6);
    EXPECT_LE(m.largest, largestMove);
}

class CorrectionOnModels : public ::testing::Test {
  protected:
    void SetUp() override { test::resetState(ui); }
    test::RecordingUserInterface ui;
};

} // namespace

TEST_F(CorrectionOnModels, SampleRelief) {
    test::useModel(
        test::readModel(std::filesystem::path(KORVANE_SOURCE_DIR) / "samples" / "Sample.stl"), 5);
    ASSERT_FALSE(modelTriangles.empty());
    // The raster is wrong by about a cell (0.2 mm) here; three cells is the most.
    checkCorrection(hatching(90, 0), 0.6);
    checkCorrection(hatching(0, 0.5), 0.6);
}

TEST_F(CorrectionOnModels, RidgesAndWalls) {
    test::useModel(test::ridgeAndWallMesh(), 5);
    checkCorrection(hatching(90, 0), 0.6);
    checkCorrection(hatching(0, 0.3), 0.6);
}

TEST_F(CorrectionOnModels, RunByTheGenerationOnlyWhereItApplies) {
    test::TempDir dir;
    dataFolder = dir.path();
    outputFolderName = "Output";
    std::filesystem::create_directories(dataFolder / outputFolderName);
    test::useModel(test::ridgeAndWallMesh(), 5);
    auto corrected = [](TOperacjaDane o) {
        tGenProcesow gen(o, std::make_unique<TFrez>(ball3));
        gen.Execute();
        EXPECT_TRUE(gen.result().error.empty()) << gen.result().error;
        for (const auto& [phase, seconds] : gen.result().seconds)
            if (phase == "correction") return true;
        return false;
    };
    TOperacjaDane o = hatching(90, 0);
    EXPECT_TRUE(corrected(o));
    o.ObliczeniaPrecyzyjne = false;
    EXPECT_FALSE(corrected(o));
    o.ObliczeniaPrecyzyjne = true;
    modelExtents.typPliku = modelKindBitmapShown; // a picture's relief has no triangles
    EXPECT_FALSE(corrected(o));
    modelExtents.typPliku = modelKind3D;
    o.idTyp = opRoughing; // roughing is never corrected
    o.warstwaSzer = 3;
    o.warstwaGrubosc = 3;
    EXPECT_FALSE(corrected(o));
}
