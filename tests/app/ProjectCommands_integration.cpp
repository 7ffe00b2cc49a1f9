// The main window's project commands and the project across a restart: new,
// open, save, save as, the dialogs they show, and saving at shutdown.
#include "RecordingView.h"
#include "TestSupport.h"

#include "app/Glowny.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class ProjectCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        test::resetState(ui, {"US", "dataDir='" + data.path().string() + "'"});
    }
    int operationIndex(const std::string& name) const {
        for (std::size_t i = 0; i < view.operations.size(); ++i)
            if (view.operations[i] == name) return static_cast<int>(i);
        return -1;
    }
    test::RecordingUserInterface ui;
    test::TempDir data, runtime;
    test::RecordingView view;
};

} // namespace

TEST_F(ProjectCommands, SavedAtShutdownAndReopenedAtStart) {
    {
        TfGlowny window(view, false);
        ASSERT_TRUE(window.FormCreate());
        EXPECT_EQ(view.tools.size(), 4u);
        EXPECT_EQ(view.operations.size(), 6u);
        EXPECT_EQ(toolTypeNames[2], txt("Tools", "txtFrezStozkowy"));
        window.operationPane().setChecked(operationIndex("Lining"), true);
        window.operationPane().setChecked(operationIndex("Roughing"), true);
        project->d.material.rozmX = 80;
        const std::string title = txt("Main_window", "zapiszProjekt");
        const std::string filter = txt("Main_window", "plikProjektu") + " (*.prj)|*.prj|" +
                                   txt("Universal", "wszystkiePliki") + " (*.*)|*.*";
        // Shutdown asks for a name for the unsaved project.
        view.fileAnswers.push_back((data / "Projects" / "Wing.prj").string());
        ASSERT_TRUE(window.FormClose());
        ASSERT_EQ(view.saveRequests.size(), 1u);
        const FileDialogRequest& r = view.saveRequests[0];
        EXPECT_EQ(r.title, title);
        EXPECT_EQ(r.filter, filter);
        EXPECT_EQ(r.defaultExtension, "prj");
        EXPECT_EQ(r.initialFolder, data / "Projects");
        EXPECT_EQ(r.fileName, "");
        EXPECT_FALSE(project);
        EXPECT_FALSE(toolLibrary);
    }
    EXPECT_TRUE(std::filesystem::exists(data / "Projects" / "Wing.prj"));

    test::resetState(ui, {"US", "dataDir='" + data.path().string() + "'"});
    test::RecordingView again;
    TfGlowny window(again, false);
    ASSERT_TRUE(window.FormCreate());
    EXPECT_EQ(settings.plikProjektu, (data / "Projects" / "Wing.prj").string());
    EXPECT_EQ(again.status[2], settings.plikProjektu);
    EXPECT_EQ(outputFolderName, std::filesystem::path("Output") / "Wing");
    EXPECT_EQ(project->d.lProcesu, (std::vector<std::string>{"Lining", "Roughing"}));
    EXPECT_EQ(project->d.material.rozmX, 80);
    EXPECT_EQ(again.checked, (std::vector<bool>{true, false, false, true, false, false}));
    EXPECT_TRUE(again.buildEnabled);
    EXPECT_FALSE(project->DoZapisu());
    EXPECT_TRUE(ui.messages.empty());
    // Nothing changed: closing asks nothing.
    ASSERT_TRUE(window.FormClose());
    EXPECT_TRUE(again.saveRequests.empty());
}

TEST_F(ProjectCommands, SaveAsOpenAndNew) {
    TfGlowny window(view, false);
    ASSERT_TRUE(window.FormCreate());
    const auto first = data / "Projects" / "First.prj";
    const auto second = data / "Second.prj";

    // Save without a name asks for one; a cancelled dialog saves nothing.
    window.mProjektZapiszClick();
    EXPECT_EQ(settings.plikProjektu, "");
    view.fileAnswers.push_back(first.string());
    window.operationPane().setChecked(operationIndex("Mixed"), true);
    window.mProjektZapiszClick();
    EXPECT_EQ(settings.plikProjektu, first.string());
    EXPECT_EQ(view.status[2], first.string());
    EXPECT_TRUE(std::filesystem::is_directory(data / "Output" / "First"));
    EXPECT_FALSE(project->DoZapisu());

    // Save as presets the current name and switches to the new file.
    project->d.plikModelu = (data / "missing.stl").string();
    view.fileAnswers.push_back(second.string());
    window.mProjektZapiszJakoClick();
    ASSERT_EQ(view.saveRequests.size(), 3u);
    EXPECT_EQ(view.saveRequests[2].fileName, "First.prj");
    EXPECT_EQ(settings.plikProjektu, second.string());
    EXPECT_EQ(outputFolderName, std::filesystem::path("Output") / "Second");
    EXPECT_NE(test::readFile(second).find("plikModelu=" + (data / "missing.stl").string()),
              std::string::npos);

    // New: no path, an empty process, no check marks, output folder "Output";
    // the model view and the output list are emptied, whatever "Output" holds.
    test::writeFile(data / "Output" / "Stray.out", "");
    modelTriangles.resize(3);
    window.mProjektNowyClick();
    EXPECT_EQ(view.modelViewCleared, 1);
    EXPECT_EQ(modelTriangles.size(), 3u);
    EXPECT_TRUE(view.outputs.empty());
    ASSERT_FALSE(view.outputFilesShown.empty());
    EXPECT_EQ(view.outputFilesShown.back(), std::filesystem::path());
    EXPECT_EQ(settings.plikProjektu, "");
    EXPECT_EQ(view.status[2], "");
    EXPECT_EQ(outputFolderName, std::filesystem::path("Output"));
    EXPECT_TRUE(project->d.lProcesu.empty());
    EXPECT_EQ(view.checked, std::vector<bool>(6, false));
    EXPECT_FALSE(view.buildEnabled);

    // Open: a file of another kind is ignored; a project whose model is missing
    // opens with the message.
    view.fileAnswers.push_back((data / "notes.txt").string());
    window.mProjektOtworzClick();
    EXPECT_EQ(settings.plikProjektu, "");
    view.fileAnswers.push_back(second.string());
    window.mProjektOtworzClick();
    ASSERT_EQ(view.openRequests.size(), 2u);
    EXPECT_EQ(view.openRequests[1].title, txt("Main_window", "wybierzProjekt"));
    EXPECT_EQ(settings.plikProjektu, second.string());
    EXPECT_EQ(modelExtents.typPliku, modelKindProjectOpened);
    EXPECT_EQ(project->d.lProcesu, (std::vector<std::string>{"Mixed"}));
    EXPECT_TRUE(view.checked[5]);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);
    EXPECT_EQ(ui.messages[0].text,
              txt("Universal", "txtPlikuBrak") + "\r\n" + (data / "missing.stl").string());
    ASSERT_TRUE(window.FormClose());
}

TEST_F(ProjectCommands, OpenKeepsTheWholePathAndTheMarksOfAnEmptyProcess) {
    TfGlowny window(view, false);
    ASSERT_TRUE(window.FormCreate());
    // Saved with nothing checked: a project without a process, on a long path.
    const auto folder = data / std::string(120, 'a') / std::string(120, 'b');
    std::filesystem::create_directories(folder);
    const auto file = folder / "Empty.prj";
    ASSERT_GT(file.string().size(), 255u);
    view.fileAnswers.push_back(file.string());
    window.mProjektZapiszJakoClick();
    ASSERT_TRUE(std::filesystem::exists(file));
    window.operationPane().setChecked(operationIndex("Roughing"), true);
    view.fileAnswers.push_back(file.string());
    window.mProjektOtworzClick();
    EXPECT_EQ(settings.plikProjektu, file.string());
    EXPECT_TRUE(project->d.lProcesu.empty());
    const auto& items = window.operationPane().list().items;
    EXPECT_EQ(items[static_cast<std::size_t>(operationIndex("Roughing"))].state,
              CheckState::Checked);
    EXPECT_TRUE(view.buildEnabled);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProjectCommands, OutputFolderThatCannotBeCreatedEndsTheProgram) {
    TfGlowny window(view, false);
    ASSERT_TRUE(window.FormCreate());
    // A file stands where the project's output folder would go.
    test::writeFile(data / "Output" / "Blocked", "not a folder");
    view.fileAnswers.push_back((data / "Projects" / "Blocked.prj").string());
    window.mProjektZapiszJakoClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);
    EXPECT_EQ(ui.messages[0].text, txt("Other", "nieMoznaUtworzycKatalogu") + "\n\r" +
                                       (data / "Output" / "Blocked").string());
    EXPECT_TRUE(view.ended);
    EXPECT_TRUE(closing);
}

TEST_F(ProjectCommands, ShutdownWithACancelledSaveStillCloses) {
    TfGlowny window(view, false);
    ASSERT_TRUE(window.FormCreate());
    window.operationPane().checkAll();
    ASSERT_TRUE(window.FormClose());
    EXPECT_EQ(view.saveRequests.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(data / "Projects"));
    EXPECT_EQ(std::filesystem::file_size(data / "Konfig.cfg"), 368u);
}
