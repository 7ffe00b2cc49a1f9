// The window's export commands and the reading of the output file shown, with
// a recording window and files on disk.
#include "RecordingView.h"
#include "TestSupport.h"
#include "app/PathExportCommands.h"
#include "app/ShownOutputFile.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"
#include "output/OldPreview.h"
#include "output/PathExport.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class ExportCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        outputReader = std::make_unique<tWy>();
    }
    void addFigure(std::vector<TrPkt3D> points) {
        outputReader->ListaFigur.push_back(std::make_unique<tFigura>());
        outputReader->ListaFigur.back()->poz = std::move(points);
    }

    test::RecordingUserInterface ui;
    test::RecordingView view;
    test::TempDir dir;
};

const char* twoFigures = "Operation type=3\r\n"
                         "Object0\r\nTransfer Z=5.000\r\nSpirala =0\r\nObrys =0\r\nWarstwa =0\r\n"
                         "Przestawcza =0\r\n1.000 2.000 3.000\r\n4.000 5.000 6.000\r\n"
                         "Object1\r\nTransfer Z=5.000\r\nSpirala =0\r\nObrys =0\r\nWarstwa =1\r\n"
                         "Przestawcza =0\r\n0.000 0.000 0.000\r\n10.000 0.000 0.000\r\n";

} // namespace

TEST_F(ExportCommands, NothingOfferedWithoutFigures) {
    EXPECT_FALSE(canExportPaths());
    exportHpglCommand(view);
    exportDxfCommand(view);
    EXPECT_TRUE(view.saveRequests.empty());
    outputReader.reset();
    EXPECT_FALSE(canExportPaths());
    exportHpglCommand(view);
    EXPECT_TRUE(view.saveRequests.empty());
}

TEST_F(ExportCommands, SaveDialogsAndFilesWritten) {
    addFigure({{1.5f, 2, 0}, {2.5f, -1, 0.25f}});
    ASSERT_TRUE(canExportPaths());
    view.fileAnswers = {(dir / "a.plt").string(), (dir / "a.dxf").string()};
    exportHpglCommand(view);
    exportDxfCommand(view);
    ASSERT_EQ(view.saveRequests.size(), 2u);
    EXPECT_EQ(view.saveRequests[0].title, "Save output file as HPGL.plt");
    EXPECT_EQ(view.saveRequests[0].filter, "HPGL.plt (*.plt)|*.plt|all files (*.*)|*.*");
    EXPECT_EQ(view.saveRequests[0].defaultExtension, "plt");
    EXPECT_EQ(view.saveRequests[0].initialFolder, exeFolder);
    EXPECT_EQ(view.saveRequests[1].title, "Save output file as DXF");
    EXPECT_EQ(view.saveRequests[1].filter, "DXF (*.dxf)|*.dxf|all files (*.*)|*.*");
    EXPECT_EQ(view.saveRequests[1].defaultExtension, "dxf");
    EXPECT_EQ(test::readFile(dir / "a.plt").substr(0, 13), "PA 600,800;\r\n");
    EXPECT_EQ(test::readFile(dir / "a.dxf"), dxfText(outputReader->ListaFigur, 0));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ExportCommands, CancelWritesNothingAndAFailedWriteIsReported) {
    addFigure({{0, 0, 0}});
    exportDxfCommand(view); // no answer: cancelled
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    view.fileAnswers = {(dir / "no" / "such" / "b.plt").string()};
    exportHpglCommand(view);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);
    EXPECT_NE(ui.messages[0].text.find("b.plt"), std::string::npos);
}

TEST_F(ExportCommands, ShownOutputFileIsReadWithEveryLayer) {
    previewWidth = 400;
    previewHeight = 300;
    smoothing = true;
    addFigure({{9, 9, 9}}); // left from an earlier file
    test::writeFile(dir / "Hatch.out", twoFigures);
    readShownOutputFile(dir / "Hatch.out");
    ASSERT_EQ(outputReader->ListaFigur.size(), 2u);
    EXPECT_EQ(outputReader->max.x, 10);
    EXPECT_FALSE(outputPathSmoothing); // hatching is never smoothed
    // No model yet: fitted to 110 × 140 × 65 mm.
    EXPECT_NEAR(previewScale, 2.146181, 1e-6);

    modelSize = {100, 10, 10};
    test::writeFile(dir / "Finish.out", std::string(twoFigures).replace(15, 1, "1"));
    readShownOutputFile(dir / "Finish.out");
    EXPECT_TRUE(outputPathSmoothing);
    EXPECT_NEAR(previewScale, 4.0, 1e-12);
}

TEST_F(ExportCommands, MalformedOrMissingShownFileLeavesThePreviewEmpty) {
    test::writeFile(dir / "Bad.out", "Operation type=1\r\nObject0\r\n1.0 x 2.0\r\n");
    readShownOutputFile(dir / "Bad.out");
    EXPECT_TRUE(outputReader->ListaFigur.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);
    readShownOutputFile(dir / "Missing.out");
    EXPECT_TRUE(outputReader->ListaFigur.empty());
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ExportCommands, GCodeTakesTheFeedsOfTheOperationTheFileIsNamedAfter) {
    addFigure({{1, 2, -1}, {4, 2, -1}});
    outputFileName = "finish";
    operationLibrary = std::make_unique<TOperacje>();
    operationLibrary->Lista.clear();
    // Without the operation nothing is asked and the reason is shown.
    exportGCodeCommand(view, GCodeDialect::grbl);
    EXPECT_TRUE(view.saveRequests.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);

    auto op = std::make_unique<TOperacjaDane>();
    op->nazwa = "Finish";
    op->szybkosc = 900;
    op->posuwWiercenia = 200;
    op->obroty = 12000;
    operationLibrary->Lista.push_back(std::move(op));
    view.fileAnswers = {(dir / "a.nc").string()};
    exportGCodeCommand(view, GCodeDialect::linuxCnc);
    ASSERT_EQ(view.saveRequests.size(), 1u);
    EXPECT_EQ(view.saveRequests[0].title, "Save output file as LinuxCNC G-code");
    EXPECT_EQ(view.saveRequests[0].filter, "G-code (*.nc)|*.nc|all files (*.*)|*.*");
    EXPECT_EQ(view.saveRequests[0].defaultExtension, "nc");
    EXPECT_EQ(test::readFile(dir / "a.nc"),
              "%\n(Korvane3D Finish)\nG21\nG90\nG17 G40 G49 G80 G94\nG64 P0.010\nG0 Z5.000\n"
              "S12000.000 M3\nG0 X1.000 Y2.000\nG0 Z-1.000\nG1 Z-1.000 F200.000\n"
              "G1 X4.000 Y2.000 Z-1.000 F900.000\nG0 Z0.000\nG0 Z5.000\nM5\nM2\n%\n");
    operationLibrary.reset();
}
