// The tool and operation panes of the main window: show, select, check, check
// all, uncheck all, and the delete rules.
#include "LibrarySupport.h"
#include "RecordingView.h"
#include "TestSupport.h"

#include "app/OperationPane.h"
#include "app/ToolPane.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryFolders.h"
#include "libraries/LibraryState.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class Panes : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::loadTexts("US");
        ASSERT_NO_FATAL_FAILURE(test::openLibraries(data.path()));
        tools.fill();
        operations.fill();
    }
    void TearDown() override {
        project.reset();
        operationLibrary.reset();
        toolLibrary.reset();
    }
    int toolIndex(const std::string& name) const {
        for (std::size_t i = 0; i < view.tools.size(); ++i)
            if (view.tools[i] == name) return static_cast<int>(i);
        return -1;
    }
    int operationIndex(const std::string& name) const {
        for (std::size_t i = 0; i < view.operations.size(); ++i)
            if (view.operations[i] == name) return static_cast<int>(i);
        return -1;
    }

    test::RecordingUserInterface ui;
    test::TempDir data;
    test::RecordingView view;
    ToolPane tools{view};
    OperationPane operations{view};
};

} // namespace

TEST_F(Panes, ToolPaneShowsTheLibraryAndTheSelectedDescription) {
    ASSERT_EQ(view.tools.size(), 4u);
    EXPECT_EQ(view.tools[2], "Ball3");
    EXPECT_EQ(view.tools[3], "EndSloting6");
    EXPECT_FALSE(view.toolCommandsEnabled);
    tools.select(toolIndex("Conical2"));
    EXPECT_EQ(view.toolDescription, "Conical cutter\n\rd1 = 2   d2 = 4   h  = 5");
    EXPECT_TRUE(view.toolCommandsEnabled);
    tools.select(-1);
    EXPECT_EQ(view.toolDescription, "");
    EXPECT_FALSE(view.toolCommandsEnabled);

    // After the dialog wrote a tool: reloaded from the folder, same index selected.
    tools.select(2);
    ASSERT_TRUE(
        saveToolFile(toolFile("Tiny"), TFrezDane{"{T}", "Tiny", toolEndMill, 0.5, 0, 3, 1, 10}));
    tools.reload();
    EXPECT_EQ(view.tools.front(), "Tiny");
    EXPECT_EQ(view.toolSelected, 2);
    EXPECT_EQ(tools.selected(), 2);
    EXPECT_EQ(view.toolDescription, toolLibrary->dajOpisFrezaNaPodstIndeksu(2, false));
}

TEST_F(Panes, ToolUsedByAnyOperationIsNotDeleted) {
    tools.select(toolIndex("EndSloting6")); // used by Roughing and Surfacing, both unchecked
    tools.deleteSelected();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(ui.messages[0].error);
    EXPECT_EQ(ui.messages[0].text, txt("Main_window", "nieMoznaUsunacFrezu") +
                                       " »EndSloting6« \n\r" +
                                       txt("Main_window", "frezUzywanyWoperacji") + " »" +
                                       operationLibrary->Lista[0]->nazwa + "« ");
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(std::filesystem::exists(toolFile("EndSloting6")));
    EXPECT_EQ(toolLibrary->Lista.size(), 4u);
}

TEST_F(Panes, ToolIsDeletedAfterYesFileFirst) {
    tools.select(toolIndex("Ball2"));
    for (Button answer : {Button::No, Button::Cancel}) {
        ui.answer = answer;
        tools.deleteSelected();
        EXPECT_TRUE(std::filesystem::exists(toolFile("Ball2")));
    }
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[0], txt("Main_window", "confirmToolDel") + "»Ball2« ?");

    ui.answer = Button::Yes;
    tools.deleteSelected();
    EXPECT_FALSE(std::filesystem::exists(toolFile("Ball2")));
    EXPECT_EQ(view.tools, (std::vector<std::string>{"Conical2", "Ball3", "EndSloting6"}));
    EXPECT_EQ(toolLibrary->Lista.size(), 3u);
    EXPECT_FALSE(view.toolCommandsEnabled);

    // A file already gone: reported, and the tool stays in the list.
    std::filesystem::remove(toolFile("Conical2"));
    tools.select(toolIndex("Conical2"));
    tools.deleteSelected();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              txt("Other", "BrakPlikuDoUsuniecia") + "\n\r" + toolFile("Conical2").string());
    EXPECT_EQ(toolLibrary->Lista.size(), 3u);
    EXPECT_EQ(view.tools.size(), 3u);
}

TEST_F(Panes, CheckMarksFeedTheProjectsProcess) {
    ASSERT_EQ(view.operations, (std::vector<std::string>{"Roughing", "Layering", "Surfacing",
                                                         "Lining", "Lining_from_file", "Mixed"}));
    EXPECT_EQ(view.checked, std::vector<bool>(6, false));
    EXPECT_FALSE(view.buildEnabled);

    operations.setChecked(operationIndex("Mixed"), true);
    operations.setChecked(operationIndex("Layering"), true);
    EXPECT_TRUE(view.buildEnabled);
    EXPECT_EQ(project->d.lProcesu, (std::vector<std::string>{"Mixed", "Layering"}));
    EXPECT_EQ(operations.list().IloscZaznaczonych(), 2);
    EXPECT_EQ(operations.list().NastepnyZaznaczony(-1), 1);
    EXPECT_EQ(operations.list().NastepnyZaznaczony(1), 5);
    EXPECT_EQ(operations.list().NastepnyZaznaczony(5), -1);

    operations.checkAll();
    EXPECT_EQ(view.checked, std::vector<bool>(6, true));
    EXPECT_EQ(project->d.lProcesu,
              (std::vector<std::string>{"Mixed", "Layering", "Roughing", "Surfacing", "Lining",
                                        "Lining_from_file"}));
    operations.setChecked(operationIndex("Roughing"), false);
    EXPECT_EQ(project->d.lProcesu.size(), 5u);
    EXPECT_TRUE(view.buildEnabled);

    operations.uncheckAll();
    EXPECT_EQ(view.checked, std::vector<bool>(6, false));
    EXPECT_TRUE(project->d.lProcesu.empty());
    EXPECT_FALSE(view.buildEnabled);

    operations.showProcess({"lining", "MIXED"});
    EXPECT_EQ(view.checked, (std::vector<bool>{false, false, false, true, false, true}));
    EXPECT_TRUE(view.buildEnabled);
}

TEST_F(Panes, OperationIsDeletedAfterYesAndLeavesTheProcess) {
    operations.setChecked(operationIndex("Lining"), true);
    operations.select(operationIndex("Lining"));
    EXPECT_TRUE(view.operationCommandsEnabled);
    ui.answer = Button::No;
    operations.deleteSelected();
    EXPECT_TRUE(std::filesystem::exists(operationFile("Lining")));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], txt("Main_window", "confirmOperDel") + "»Lining« ?");

    ui.answer = Button::Yes;
    operations.deleteSelected();
    EXPECT_FALSE(std::filesystem::exists(operationFile("Lining")));
    EXPECT_EQ(operationIndex("Lining"), -1);
    EXPECT_EQ(operationLibrary->Lista.size(), 5u);
    EXPECT_TRUE(project->d.lProcesu.empty());
    EXPECT_FALSE(view.buildEnabled);
    EXPECT_FALSE(view.operationCommandsEnabled);
    for (std::size_t i = 0; i < operationLibrary->Lista.size(); ++i)
        EXPECT_EQ(operationLibrary->Lista[i]->nazwa, view.operations[i]);
}

TEST_F(Panes, OperationWhoseFileIsMissingStays) {
    // The name inside the file is not the file name: deleting looks for "Inner.opr".
    test::writeFile(operationsFolder() / "Outer.opr", "[Operacja]\r\nnazwa=Inner\r\nidTyp=9\r\n");
    operations.setChecked(0, true);
    operations.reload("Inner");
    EXPECT_EQ(view.operations.back(), "Inner");
    EXPECT_EQ(view.operationSelected, 6);
    EXPECT_TRUE(view.checked[0]); // check marks kept over the reload

    operations.deleteSelected();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              txt("Other", "BrakPlikuDoUsuniecia") + "\n\r" + operationFile("Inner").string());
    EXPECT_EQ(view.operations.size(), 7u);
    EXPECT_TRUE(std::filesystem::exists(operationsFolder() / "Outer.opr"));
}

TEST_F(Panes, NamesFromFilesNeverLeadOutOfTheLibraryFolder) {
    test::writeFile(data / "Projects" / "Wing.opr", "keep");
    test::writeFile(operationsFolder() / "Sly.opr",
                    "[Operacja]\r\nnazwa=../Projects/Wing\r\nidTyp=9\r\n");
    operations.reload("../Projects/Wing");
    operations.deleteSelected();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, txt("Other", "BrakPlikuDoUsuniecia").size()),
              txt("Other", "BrakPlikuDoUsuniecia"));
    EXPECT_EQ(test::readFile(data / "Projects" / "Wing.opr"), "keep");
    EXPECT_EQ(view.operations.size(), 7u);
}
