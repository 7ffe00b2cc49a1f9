// The material dialog's logic: the sources and their fields, the checks of
// OK, hostile sizes, and what is written into the project and the raster sizes.
#include "TestSupport.h"

#include "app/MaterialDlg.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class Recorder : public MaterialDialogView {
  public:
    void showMaterialFields() override { ++shown; }
    void focusMaterialField(MaterialField field) override { focus = field; }
    std::optional<std::string> askStockFile(const std::string& t, const std::string& f,
                                            const std::filesystem::path& folder) override {
        title = t;
        filter = f;
        asked = folder;
        return answer;
    }
    int shown = 0;
    std::optional<MaterialField> focus;
    std::string title, filter;
    std::filesystem::path asked;
    std::optional<std::string> answer;
};

class MaterialDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::loadTexts("US");
        project = std::make_unique<TProjekt>();
        pixelSize = 0.5;
        model.minX = -40;
        model.maxX = 40;
        model.maxY = 30;
        model.maxZ = 12;
        modelSize = {80, 30, 12};
    }
    void TearDown() override { project.reset(); }
    std::string lastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }

    test::RecordingUserInterface ui;
    Recorder view;
    TModel model;
};

} // namespace

TEST_F(MaterialDialog, BlockTakesTheModelsPlanAndTheTypedHeight) {
    project->d.material.rozmZ = 20;
    project->d.material.gruboscPodkladki = 1.5;
    TfMaterialDlg dlg(view, model);
    EXPECT_EQ(dlg.zrodlo, materialBlock);
    EXPECT_EQ(dlg.wysokosc.text(), "20.000");
    EXPECT_EQ(dlg.szerokosc.text(), "0.000");
    dlg.szerokosc.setText("50");
    dlg.dlugosc.setText("30");
    ASSERT_TRUE(dlg.ok());
    EXPECT_TRUE(dlg.zapisano);
    const TMaterial& m = project->d.material;
    EXPECT_EQ(m.rozmX, 80);
    EXPECT_EQ(m.rozmY, 30);
    EXPECT_EQ(m.rozmZ, 20);
    EXPECT_EQ(m.gruboscPodkladki, 1.5);
    // 80 / 0.5 cells, as the model's own raster: one more (the old 161) ran
    // the next build's paths a cell past the model.
    EXPECT_EQ(rasterSizeX, 160);
    EXPECT_EQ(rasterSizeY, 60);
    EXPECT_EQ(rasterSizeZ, 60); // (20 + 10) / 0.5
    EXPECT_FALSE(dlg.stockFileChanged());
}

TEST_F(MaterialDialog, ModelDimensionsAndSourceChanges) {
    project->d.material.rozmZ = 20;
    TfMaterialDlg dlg(view, model);
    dlg.takeModelDimensions();
    EXPECT_EQ(dlg.szerokosc.text(), "80.000");
    EXPECT_EQ(dlg.dlugosc.text(), "30.000");
    EXPECT_EQ(dlg.wysokosc.text(), "12.000");
    dlg.setSource(materialCoating);
    EXPECT_EQ(dlg.wysokosc.text(), "0.000");
    EXPECT_EQ(dlg.powloka.text(), "0.000");
    dlg.powloka.setText("2");
    ASSERT_TRUE(dlg.ok());
    EXPECT_EQ(project->d.material.zrodlo, materialCoating);
    EXPECT_EQ(project->d.material.gruboscPowloki, 2);
    EXPECT_EQ(rasterSizeX, 160);
    EXPECT_EQ(rasterSizeY, 60);
    EXPECT_EQ(rasterSizeZ, 48); // (2 + 12 + 10) / 0.5
}

TEST_F(MaterialDialog, RasterSizesRoundHalvesToEven) {
    modelSize = {80.25, 30.75, 12};
    TfMaterialDlg coating(view, model);
    coating.setSource(materialCoating);
    coating.powloka.setText("2.25");
    ASSERT_TRUE(coating.ok());
    EXPECT_EQ(rasterSizeX, 160); // 160.5
    EXPECT_EQ(rasterSizeY, 62);  // 61.5
    EXPECT_EQ(rasterSizeZ, 48);  // (2.25 + 12 + 10) / 0.5 = 48.5
    TfMaterialDlg block(view, model);
    block.setSource(materialBlock);
    block.szerokosc.setText("1");
    block.dlugosc.setText("1");
    block.wysokosc.setText("20.25");
    ASSERT_TRUE(block.ok());
    EXPECT_EQ(rasterSizeZ, 60); // (20.25 + 10) / 0.5 = 60.5
}

TEST_F(MaterialDialog, ChecksOfEachSource) {
    TfMaterialDlg dlg(view, model);
    dlg.szerokosc.setText("10");
    dlg.dlugosc.setText("10");
    // 0 is a number within the limits, but no block.
    dlg.wysokosc.setText("0");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(),
              "Enter all three dimensions of the material; each must be greater than 0.");
    EXPECT_FALSE(ui.messages.back().error);
    EXPECT_EQ(view.focus, MaterialField::height);
    // What the field itself refuses says why, with the range, as an error.
    const std::string outOfRange = "In the field  »Height Z«  the value is out of the permitted "
                                   "range.\r\n( min= 0.00; max= 170.00 )";
    const std::string notANumber = "In the field  »Height Z«  the value is not a number.";
    const std::string empty = "Please fill in the field  »Height Z«";
    for (auto [height, message] : {std::pair<const char*, std::string>{"", empty},
                                   {"abc", notANumber},
                                   {"nan", notANumber},
                                   {"inf", notANumber},
                                   {"1e999", notANumber},
                                   {"1,5", notANumber},
                                   {"-1", outOfRange},
                                   {"170.001", outOfRange}}) {
        view.focus.reset();
        dlg.wysokosc.setText(height);
        EXPECT_FALSE(dlg.ok()) << height;
        EXPECT_EQ(lastMessage(), message);
        EXPECT_EQ(ui.messages.back().caption, "Error");
        EXPECT_TRUE(ui.messages.back().error);
        EXPECT_EQ(view.focus, MaterialField::height);
        EXPECT_EQ(dlg.wysokosc.text(), height); // kept as typed
    }
    EXPECT_FALSE(dlg.zapisano);
    dlg.setSource(materialCoating);
    dlg.powloka.setText("-2");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(), "In the field  »Coating thickness«  the value is out of the "
                             "permitted range.\r\n( min= 0.00; max= 10,000.00 )");
    EXPECT_EQ(view.focus, MaterialField::coating);
    dlg.powloka.setText("0");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(), "The coating thickness must be greater than 0.");
    EXPECT_EQ(view.focus, MaterialField::coating);
    dlg.setSource(materialFile);
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(), "Choose the stock model file");
    EXPECT_EQ(view.focus, MaterialField::file);
    view.answer = "/stock/block.raw";
    dlg.chooseStockFile();
    EXPECT_EQ(view.title, "Choose the stock model file");
    EXPECT_EQ(view.filter, "RAW triangle model (*.raw)|*.raw|3D DXF drawing (*.dxf)|*.dxf|"
                           "All files (*.*)|*.*");
    EXPECT_EQ(view.asked, exeFolder);
    dlg.podkladka.setText("-100.001");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(), "In the field  »Pad thickness«  the value is out of the permitted "
                             "range.\r\n( min= -100.00; max= 10,000.00 )");
    EXPECT_EQ(view.focus, MaterialField::pad);
    EXPECT_FALSE(dlg.zapisano);
    EXPECT_EQ(project->d.material.plikMaterialu, "");
    dlg.podkladka.setText("-100");
    ASSERT_TRUE(dlg.ok());
    EXPECT_EQ(project->d.material.plikMaterialu, "/stock/block.raw");
    EXPECT_EQ(project->d.material.gruboscPodkladki, -100);
    EXPECT_TRUE(dlg.stockFileChanged());
}
