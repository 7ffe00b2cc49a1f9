// The mixed strategy's spirals as the output file holds them, after every
// step of the generation thread (the clearance raises points where the tool
// must stand higher): each one descends from point to point.
#include "CorrectionSupport.h"
#include "SweepSupport.h"
#include "TestSupport.h"
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "output/DaneWyjsciowe.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

class SpiralsInTheOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        dataFolder = dir.path();
        outputFolderName = "Output";
        std::filesystem::create_directories(dataFolder / outputFolderName);
    }

    // Generates the library's mixed operation with its ends joined (so that
    // it makes spirals) with the library's 3 mm ball, reads the output file
    // back and checks that no spiral climbs from one point to the next.
    void expectSpiralsDescend() {
        TOperacjaDane o;
        o.nazwa = "Mixed";
        o.idTyp = opMixed;
        o.warstwaSzer = 1;
        o.warstwaGrubosc = 0.25;
        o.polaczoneKonce = true;
        o.granicaZgorna = 170;
        o.szybkosc = 3000;
        const TFrezDane ball3{"", "Ball3", toolBallNose, 3, 0, 5, 3, 10};
        tGenProcesow gen(o, std::make_unique<TFrez>(ball3));
        gen.Execute();
        const GenerationResult r = gen.result();
        ASSERT_TRUE(r.written) << r.error;
        tWy reader;
        reader.wczytajPlik(r.file, -1);
        int spirals = 0, climbs = 0, links = 0;
        for (size_t i = 0; i < reader.ListaFigur.size(); ++i) {
            const tFigura& f = *reader.ListaFigur[i];
            if (f.spirala != 1) continue;
            ++spirals;
            // A spiral climbs only over a link within the tool's radius and
            // no higher than the next pass.
            for (size_t k = 1; k < f.poz.size(); ++k) {
                const TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
                if (b.z <= a.z) continue;
                ++links;
                if ((b.z - a.z > o.warstwaSzer + 1e-3 ||
                     std::hypot(b.x - a.x, b.y - a.y) > ball3.d1 / 2 + 1e-3) &&
                    climbs++ == 0)
                    ADD_FAILURE() << "figure " << i << " climbs at point " << k << ": " << a.z
                                  << " -> " << b.z << " at " << b.x << " " << b.y;
            }
        }
        EXPECT_GT(spirals, 0);
        EXPECT_EQ(climbs, 0) << "climbs in " << spirals << " spirals";
        EXPECT_GT(links, 0);
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
};

} // namespace

TEST_F(SpiralsInTheOutput, OfTheSampleModelDescendPointByPoint) {
    test::useModel(
        test::readModel(std::filesystem::path(KORVANE_SOURCE_DIR) / "samples" / "Sample.stl"), 5);
    expectSpiralsDescend();
}

TEST_F(SpiralsInTheOutput, OfAGeneratedReliefDescendPointByPoint) {
    test::makeRelief(60, 40, 5);
    fillMaterialRaster(1000);
    rasterReady = true;
    materialRasterReady = true;
    expectSpiralsDescend();
}
