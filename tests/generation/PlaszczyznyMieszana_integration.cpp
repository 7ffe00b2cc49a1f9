// Planes and the mixed strategy through the generation thread on the test
// relief: an output file of figures on the motion map, the mixed strategy's
// sub-steps timed in order.
#include "SweepSupport.h"
#include "TestSupport.h"
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "generation/MotionMap.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "output/DaneWyjsciowe.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

class ReliefGeneration : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        dataFolder = dir.path();
        outputFolderName = "Output";
        std::filesystem::create_directories(dataFolder / outputFolderName);
        test::makeRelief(30, 20, 5);
        fillMaterialRaster(1000);
        rasterReady = true;
        materialRasterReady = true;
        ball.typ = toolBallNose;
        ball.d1 = ball.d3 = 3;
        ball.h = ball.hc = 20;
    }

    GenerationResult run(int type) {
        TOperacjaDane o;
        o.nazwa = type == opPlanes ? "Planes" : "Mixed";
        o.idTyp = type;
        o.warstwaSzer = 0.5;
        o.polaczoneKonce = true;
        o.granicaZgorna = 100;
        tGenProcesow gen(o, std::make_unique<TFrez>(ball));
        gen.Execute();
        return gen.result();
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    TFrezDane ball;
};

std::vector<std::string> phases(const GenerationResult& r) {
    std::vector<std::string> names;
    for (const auto& [name, seconds] : r.seconds) names.push_back(name);
    return names;
}

} // namespace

TEST_F(ReliefGeneration, PlanesWriteTheirPasses) {
    const GenerationResult r = run(opPlanes);
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_TRUE(r.written);
    EXPECT_GT(r.figures, 0);
    EXPECT_EQ(phases(r), (std::vector<std::string>{"rasterWait", "motionMap", "strategy",
                                                   "clearance", "transferHeights", "write"}));
    EXPECT_TRUE(std::filesystem::is_regular_file(r.file));
}

TEST_F(ReliefGeneration, TheMixedStrategyTimesItsSubSteps) {
    const GenerationResult r = run(opMixed);
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_TRUE(r.written);
    EXPECT_GT(r.figures, 0);
    EXPECT_GT(r.points, 1000);
    EXPECT_EQ(phases(r), (std::vector<std::string>{
                             "rasterWait", "motionMap", "start? ", "warstwy wypukle",
                             "warstwy wklesle", "usuwanie gestych", "spirala", "sortowanie",
                             "strategy", "clearance", "transferHeights", "write"}));
    // The file reads back with every point on or above the motion map and
    // inside the plan. The file keeps three decimals: on a wall the map may
    // rise steeply within the half thousandth a coordinate was rounded by.
    auto lowestNear = [](const TrPkt3D& p) {
        double lowest = motionHeightInterpolated(p);
        for (float dx : {-0.0005f, 0.0005f})
            for (float dy : {-0.0005f, 0.0005f})
                lowest = std::min(lowest, motionHeightInterpolated({p.x + dx, p.y + dy, p.z}));
        return lowest;
    };
    tWy reader;
    reader.wczytajPlik(r.file, -1);
    ASSERT_EQ(static_cast<int>(reader.ListaFigur.size()), r.figures);
    EXPECT_EQ(reader.typOperacji, opMixed);
    for (const auto& f : reader.ListaFigur)
        for (const TrPkt3D& p : f->poz) {
            EXPECT_GE(p.z, lowestNear(p) - 1e-3) << p.x << " " << p.y;
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 30);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, 20);
        }
}
