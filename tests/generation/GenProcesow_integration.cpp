// The generation thread end to end on a small relief, and the output file it
// writes compared with one worked out by hand.
#include "TestSupport.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "generation/GenState.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "output/DaneWyjsciowe.h"
#include "platform/MainLoop.h"

#include <cmath>
#include <gtest/gtest.h>
#include <thread>

using namespace korvane;

namespace {

class Generation : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        dataFolder = dir.path();
        outputFolderName = "Output";
        std::filesystem::create_directories(dataFolder / outputFolderName);
        // A ramp rising 1 mm per mm in x, 4 x 2 mm, one cell per mm.
        pixelSize = 1;
        rasterSizeX = 4;
        rasterSizeY = 2;
        modelSize = {4, 2, 4};
        allocateRasters();
        for (int ix = 0; ix <= 4; ++ix)
            for (int iy = 0; iy <= 2; ++iy) modelHeights[ix][iy] = float(ix);
        fillMaterialRaster(1000);
        rasterReady = true;
        materialRasterReady = true;
        transferMargin = 5;
        oper.nazwa = "Ramp";
        oper.idTyp = opHatching;
        oper.warstwaSzer = 1;
        oper.kat = 0;
        oper.polaczoneKonce = false;
        oper.ObliczeniaPrecyzyjne = true; // no smoothing: the points are known
        oper.granicaZdolna = 0;
        oper.granicaZgorna = 3; // x = 4 rises out of the window
        tool.typ = toolEndMill;
        tool.d1 = tool.d3 = 0.2; // narrower than a cell: the map is the model
        tool.h = tool.hc = 10;
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    TOperacjaDane oper;
    TFrezDane tool;
};

} // namespace

TEST_F(Generation, SmallHatchingJobWritesTheFileWorkedOutByHand) {
    tGenProcesow gen(oper, std::make_unique<TFrez>(tool));
    gen.Execute();
    const GenerationResult& r = gen.result();
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_TRUE(r.written);
    // Each stroke y = 0, 1, 2 samples z = 0, 1, 2, 3 (x = 4 is outside the
    // window); reduction keeps the start, the point where the level start turns
    // into the slope, and the end. The rapid height after a figure is the highest
    // motion height on the way to the next start (3) + 5; after the last one the
    // way back to the origin + max(width 1, depth 0) + 5.
    const std::string expected = "Operation type=3\r\n"
                                 "Object0\r\nTransfer Z=8.000\r\nSpirala =0\r\nObrys =0\r\n"
                                 "Warstwa =-1\r\nPrzestawcza =0\r\n"
                                 "0.000 0.000 0.000\r\n1.000 0.000 1.000\r\n3.000 0.000 3.000\r\n"
                                 "Object1\r\nTransfer Z=8.000\r\nSpirala =0\r\nObrys =0\r\n"
                                 "Warstwa =-1\r\nPrzestawcza =0\r\n"
                                 "0.000 1.000 0.000\r\n1.000 1.000 1.000\r\n3.000 1.000 3.000\r\n"
                                 "Object2\r\nTransfer Z=9.000\r\nSpirala =0\r\nObrys =0\r\n"
                                 "Warstwa =-1\r\nPrzestawcza =0\r\n"
                                 "0.000 2.000 0.000\r\n1.000 2.000 1.000\r\n3.000 2.000 3.000\r\n";
    EXPECT_EQ(test::readFile(dataFolder / "Output" / "Ramp.out"), expected);
    EXPECT_EQ(r.figures, 3);
    EXPECT_EQ(r.points, 9);
    EXPECT_NEAR(r.length, 3 * 3 * std::sqrt(2.0), 1e-6);
    EXPECT_TRUE(figureList.empty());

    tWy reader;
    reader.wczytajPlikWyjsciowy("Ramp", -1);
    EXPECT_EQ(reader.ListaFigur.size(), 3u);
    EXPECT_EQ(reader.iloscPunktow, 9);
    EXPECT_NEAR(reader.dl_sciezki_narz, r.length, 1e-4);
}

TEST_F(Generation, NothingMadeLeavesTheOldFile) {
    test::writeFile(dataFolder / "Output" / "Ramp.out", "old");
    oper.granicaZdolna = 50; // every stroke lies below the window
    oper.granicaZgorna = 60;
    tGenProcesow gen(oper, std::make_unique<TFrez>(tool));
    gen.Execute();
    EXPECT_FALSE(gen.result().written);
    EXPECT_TRUE(gen.result().noFigures);
    EXPECT_EQ(gen.result().figures, 0);
    EXPECT_EQ(test::readFile(dataFolder / "Output" / "Ramp.out"), "old");

    // Layered finishing: the waterlines across the 2 mm wide ramp are too short
    // to be kept.
    oper.idTyp = opLayeredFinishing;
    oper.warstwaGrubosc = 1;
    oper.granicaZdolna = 0;
    oper.granicaZgorna = 100;
    tGenProcesow layered(oper, std::make_unique<TFrez>(tool));
    layered.Execute();
    EXPECT_TRUE(layered.result().error.empty());
    EXPECT_TRUE(layered.result().noFigures);
    EXPECT_FALSE(layered.result().written);

    oper.idTyp = opOutline; // no strategy builds it: an empty output
    oper.granicaZdolna = 0;
    tGenProcesow other(oper, std::make_unique<TFrez>(tool));
    other.Execute();
    EXPECT_FALSE(other.result().written);
}

TEST_F(Generation, WaitForTheRasterEndsOnAbort) {
    rasterReady = false;
    tGenProcesow gen(oper, std::make_unique<TFrez>(tool));
    bool ended = false;
    gen.start([&] { ended = true; });
    // Only the stop request ends a generation waiting for its raster, and it
    // ends as aborted with nothing written.
    queueMainLoop().drain();
    EXPECT_FALSE(ended);
    gen.requestTerminate();
    EXPECT_TRUE(queueMainLoop().runUntil([&] { return ended; }, std::chrono::seconds(10)));
    EXPECT_TRUE(gen.result().aborted);
    EXPECT_FALSE(gen.result().written);
}

TEST_F(Generation, PlotFileHatchingMovesTheDrawingToTheOrigin) {
    test::writeFile(dir / "drawing.plt", "IN;SP1;PU2000,2000;PD2120,2000,2120,2040;PU;");
    oper.idTyp = opPlotHatching;
    oper.plikPlt = (dir / "drawing.plt").string();
    oper.granicaZgorna = 100;
    tGenProcesow gen(oper, std::make_unique<TFrez>(tool));
    gen.Execute();
    ASSERT_TRUE(gen.result().written) << gen.result().error;
    tWy reader;
    reader.wczytajPlikWyjsciowy("Ramp", -1);
    ASSERT_EQ(reader.ListaFigur.size(), 1u);
    const auto& p = reader.ListaFigur[0]->poz;
    EXPECT_EQ(p.front().x, 0.0f);
    EXPECT_EQ(p.front().y, 0.0f);
    EXPECT_EQ(p.back().x, 3.0f);
    EXPECT_EQ(p.back().y, 1.0f);
    EXPECT_EQ(p.back().z, 3.0f); // on the ramp

    oper.plikPlt = (dir / "none.plt").string(); // missing: nothing
    tGenProcesow missing(oper, std::make_unique<TFrez>(tool));
    missing.Execute();
    EXPECT_FALSE(missing.result().written);
    EXPECT_TRUE(missing.result().error.empty());
}

TEST_F(Generation, AFileThatCannotBeWrittenEndsWithItsError) {
    std::filesystem::remove_all(dataFolder / "Output");
    tGenProcesow gen(oper, std::make_unique<TFrez>(tool));
    gen.Execute();
    EXPECT_FALSE(gen.result().written);
    EXPECT_NE(gen.result().error.find("Ramp.out"), std::string::npos) << gen.result().error;
    EXPECT_TRUE(figureList.empty());
}
