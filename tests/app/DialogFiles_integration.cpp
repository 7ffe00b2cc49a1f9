// The files the tool, operation and material dialogs write, read back by the
// batch program as the dialogs left them.
#include "LibrarySupport.h"
#include "RunProgram.h"
#include "TestSupport.h"

#include "app/MaterialDlg.h"
#include "app/NarzedzieDlg.h"
#include "app/OperacjeDlg.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryFolders.h"
#include "libraries/LibraryState.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

struct Views : ToolDialogView, OperationDialogView, MaterialDialogView {
    void showToolFields() override {}
    void focusToolField(ToolField) override {}
    void showOperationFields() override {}
    void focusOperationField(OperationField) override {}
    std::optional<std::string> askPlotFile(const std::filesystem::path&) override { return {}; }
    void showMaterialFields() override {}
    void focusMaterialField(MaterialField) override {}
    std::optional<std::string> askStockFile(const std::string&, const std::string&,
                                            const std::filesystem::path&) override {
        return {};
    }
};

} // namespace

TEST(DialogFiles, ReadBackByTheBatchProgram) {
    test::RecordingUserInterface ui;
    test::TempDir data;
    test::resetState(ui);
    test::loadTexts("US");
    texts->loadOperationTypes();
    ASSERT_NO_FATAL_FAILURE(test::openLibraries(data.path()));
    pixelSize = 0.5;
    Views views;

    TfNarzedzieDlg tool(views);
    tool.setName("Engraver");
    tool.setType(2);
    const std::pair<FltField*, const char*> sizes[] = {
        {&tool.d1, "1"}, {&tool.d2, "3"}, {&tool.h, "2.5"}, {&tool.d3, "4"}, {&tool.hc, "20"}};
    for (auto [field, text] : sizes) field->setText(text);
    ASSERT_TRUE(tool.ok());
    toolLibrary = std::make_unique<TFrezy>(); // reloaded from the folder, as the pane does

    TfOperacjeDlg operation(views);
    operation.setName("Hatch");
    for (std::size_t i = 0; i < operation.types().size(); ++i)
        if (operation.types()[i].id == 3) operation.chooseType(static_cast<int>(i));
    for (std::size_t i = 0; i < operation.tools().size(); ++i)
        if (operation.tools()[i].name == "Engraver") operation.chooseTool(static_cast<int>(i));
    operation.setConnect(true);
    operation.opis = "both ends";
    ASSERT_TRUE(operation.ok()) << (ui.messages.empty() ? "" : ui.messages.back().text);

    TModel model;
    model.maxX = 80;
    model.maxY = 30;
    model.maxZ = 12;
    TfMaterialDlg material(views, model);
    material.setSource(1);
    material.powloka.setText("2.5");
    material.podkladka.setText("-1");
    ASSERT_TRUE(material.ok());
    const auto projectFile = data / "Projects" / "Wing.prj";
    ASSERT_TRUE(project->Zapisz(projectFile));

    const std::string dir = "dataDir='" + data.path().string() + "'";
    const auto tools = test::runBuiltProgram("korvane3d-cli", {dir, "tools", "--json"});
    ASSERT_EQ(tools.exitCode, 0) << tools.err;
    const auto engraver = tools.out.find("\"nazwa\": \"Engraver\"");
    ASSERT_NE(engraver, std::string::npos) << tools.out;
    const std::string engraverRecord = "\"nazwa\": \"Engraver\", \"typ\": 2, \"d1\": 1, \"d2\": 3, "
                                       "\"d3\": 4, \"h\": 2.5, \"hc\": 20}";
    EXPECT_EQ(tools.out.substr(engraver, engraverRecord.size()), engraverRecord);
    // The operation refers to the tool by the id the tool dialog gave it.
    const auto idStart = tools.out.rfind("\"id\": \"", engraver) + 7;
    const std::string id = tools.out.substr(idStart, 38);

    const auto ops = test::runBuiltProgram("korvane3d-cli", {dir, "operations", "--json"});
    ASSERT_EQ(ops.exitCode, 0) << ops.err;
    const auto hatch = ops.out.find("\"nazwa\": \"Hatch\"");
    ASSERT_NE(hatch, std::string::npos) << ops.out;
    const auto next = ops.out.find("}, {\"id", hatch);
    const std::string record =
        ops.out.substr(hatch, (next == std::string::npos ? ops.out.size() : next) - hatch);
    for (const std::string& pair :
         {std::string("\"idTyp\": 3"), "\"narzedzie\": \"" + id + "\"",
          std::string("\"warstwaSzer\": 0.5"), std::string("\"polaczoneKonce\": true"),
          std::string("\"granicaZdolna\": 0"), std::string("\"granicaZgorna\": 170"),
          std::string("\"opis\": \"both ends\"")})
        EXPECT_NE(record.find(pair), std::string::npos) << pair << " in " << record;

    const auto prj =
        test::runBuiltProgram("korvane3d-cli", {dir, "project", projectFile.string(), "--json"});
    ASSERT_EQ(prj.exitCode, 0) << prj.err;
    EXPECT_NE(
        prj.out.find("\"material\": {\"zrodlo\": 1, \"rozmX\": 0, \"rozmY\": 0, \"rozmZ\": 0, "
                     "\"plikMaterialu\": \"\", \"gruboscPowloki\": 2.5, "
                     "\"gruboscPodkladki\": -1}"),
        std::string::npos)
        << prj.out;
    project.reset();
    operationLibrary.reset();
    toolLibrary.reset();
}
