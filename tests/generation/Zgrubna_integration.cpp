// A roughing operation through the generation thread, and the output file it
// writes compared with one worked out by hand.
#include "TestSupport.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(ZgrubnaGeneration, SmallRoughingJobWritesTheFileWorkedOutByHand) {
    test::RecordingUserInterface ui;
    test::resetState(ui);
    test::TempDir dir;
    dataFolder = dir.path();
    outputFolderName = "Output";
    std::filesystem::create_directories(dataFolder / outputFolderName);
    // A ramp rising 1 mm per mm in x, 4 x 2 mm, one cell per mm; material
    // everywhere, no block: the model's top is the stock's.
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
    TOperacjaDane oper;
    oper.nazwa = "Ramp";
    oper.idTyp = opRoughing;
    oper.warstwaSzer = 1;
    oper.warstwaGrubosc = 2;
    oper.granicaZgorna = 170;
    oper.ObliczeniaPrecyzyjne = true; // never applies to roughing
    TFrezDane tool;
    tool.typ = toolEndMill;
    tool.d1 = tool.d3 = 0.2; // narrower than a cell: the map is the model
    tool.h = tool.hc = 10;

    tGenProcesow gen(oper, std::make_unique<TFrez>(tool));
    gen.Execute();
    const GenerationResult& r = gen.result();
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_TRUE(r.written);
    // Every level 0..4 covers one column: the highest, 4, is the dominant one,
    // so the layers count down from 5: at 3 the columns 0..3 are zigzagged, at
    // 1 the columns 0 and 1. Each path starts with a ramp from a layer above
    // its second point. The rapid height: the path's start + 5 (the way to the
    // next start and back to the origin stays lower).
    const std::string expected = "Operation type=0\r\n"
                                 "Object0\r\nTransfer Z=10.000\r\nSpirala =0\r\nObrys =0\r\n"
                                 "Warstwa =-1\r\nPrzestawcza =0\r\n"
                                 "0.000 2.000 5.000\r\n0.000 0.000 3.000\r\n"
                                 "0.000 2.000 3.000\r\n1.000 2.000 3.000\r\n"
                                 "1.000 0.000 3.000\r\n2.000 0.000 3.000\r\n"
                                 "2.000 2.000 3.000\r\n3.000 2.000 3.000\r\n"
                                 "3.000 0.000 3.000\r\n"
                                 "Object1\r\nTransfer Z=10.000\r\nSpirala =0\r\nObrys =0\r\n"
                                 "Warstwa =-1\r\nPrzestawcza =0\r\n"
                                 "0.000 2.000 3.000\r\n0.000 0.000 1.000\r\n"
                                 "0.000 2.000 1.000\r\n1.000 2.000 1.000\r\n"
                                 "1.000 0.000 1.000\r\n";
    EXPECT_EQ(test::readFile(dataFolder / "Output" / "Ramp.out"), expected);
    EXPECT_EQ(r.figures, 2);
    EXPECT_EQ(r.points, 14);
    // The material is left at the layers the columns were cut to.
    EXPECT_EQ(materialHeights[0][1], 1.0f);
    EXPECT_EQ(materialHeights[2][1], 3.0f);
    EXPECT_EQ(materialHeights[4][1], 1000.0f);
}
