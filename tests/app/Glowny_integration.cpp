// The start sequence and the shutdown of the main window's logic, on real
// folders, with the language files that come with the program.
#include "RecordingView.h"
#include "TestSupport.h"

#include "app/Glowny.h"
#include "foundation/Interfejs.h"
#include "foundation/Settings.h"
#include "foundation/State.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class RecordingView final : public test::RecordingView {
  public:
    void applyTexts() override { ++textsApplied; }
    void setCaption(const std::string& c) override { caption = c; }
    void setRightToLeft(bool r) override { rightToLeft = r; }
    void applyViewSettings(int c, int s, double, bool) override {
        colour = c;
        style = s;
    }
    void showOldPreviewPage(bool shown) override { oldPreview = shown; }
    int textsApplied = 0;
    std::string caption;
    bool rightToLeft = false;
    int colour = -1, style = -1;
    bool oldPreview = true;
};

class StartTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1); }
    void start(std::vector<std::string> args) {
        args.push_back("dataDir='" + data.path().string() + "'");
        test::resetState(ui, std::move(args));
    }
    test::RecordingUserInterface ui;
    test::TempDir data, runtime;
    RecordingView view;
};

} // namespace

TEST_F(StartTest, FreshStartBuildsFoldersAndAppliesEverything) {
    start({"PL", "testy", "SurfacingPercent='2,5'", "loggerOn"});
    TfGlowny window(view, true);
    ASSERT_TRUE(window.FormCreate());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(dataFolder, data.path());
    EXPECT_TRUE(std::filesystem::is_directory(data / "Projects"));
    EXPECT_TRUE(std::filesystem::is_directory(data / "Output"));
    EXPECT_EQ(outputFolderName, "Output");
    EXPECT_EQ(texts->skrotJez, "PL");
    EXPECT_EQ(view.textsApplied, 1);
    EXPECT_EQ(view.caption, "Korvane3D   " + txt("Universal", "txtWer") + "1.0.0.1");
    EXPECT_EQ(view.colour, 0x00FF00);
    EXPECT_EQ(view.style, 0);
    EXPECT_TRUE(view.oldPreview);
    EXPECT_FALSE(view.rightToLeft);
    EXPECT_DOUBLE_EQ(surfacingFraction, 0.025);
    EXPECT_TRUE(loggerOn);
    EXPECT_EQ(settings.rozdzielczosc, 5.0);
    EXPECT_DOUBLE_EQ(pixelSize, 0.2);
    EXPECT_EQ(operationTypes.size(), 8u);
    EXPECT_FALSE(rasterReady);
    EXPECT_TRUE(materialRasterReady);

    settings.modelSposobKreslenia = 1;
    ASSERT_TRUE(window.FormClose());
    EXPECT_TRUE(closing);
    EXPECT_EQ(std::filesystem::file_size(data / "Konfig.cfg"), 368u);
}

TEST_F(StartTest, ArabicIsRightToLeft) {
    start({"SA"});
    TfGlowny window(view, false);
    ASSERT_TRUE(window.FormCreate());
    EXPECT_TRUE(texts->arabski);
    EXPECT_TRUE(view.rightToLeft);
    EXPECT_FALSE(view.oldPreview);
}

TEST_F(StartTest, SecondCopyIsRefusedWithTheFourTexts) {
    start({"US"});
    TfGlowny first(view, true);
    ASSERT_TRUE(first.FormCreate());
    const auto settingsBefore = std::filesystem::exists(data / "Konfig.cfg");

    RecordingView view2;
    TfGlowny second(view2, true);
    EXPECT_FALSE(second.FormCreate());
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string gap = "\r\n\r\n";
    EXPECT_EQ(ui.messages[0].text,
              txt("Main_window", "msgMutex1") + gap + txt("Main_window", "msgMutex2") + gap +
                  txt("Main_window", "msgMutex3") + gap + txt("Main_window", "msgMutex4"));
    EXPECT_EQ(ui.messages[0].caption, txt("Main_window", "msgKoniecPracyProgramu"));
    EXPECT_TRUE(closing);
    EXPECT_EQ(std::filesystem::exists(data / "Konfig.cfg"), settingsBefore);
}

TEST_F(StartTest, ClosingIsRefusedWhileOutputsAreBuilt) {
    start({"US"});
    TfGlowny window(view, false);
    ASSERT_TRUE(window.FormCreate());
    window.budowanie().genProcWtoku = true;
    EXPECT_FALSE(window.FormClose());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Main_window", "zakonczGenPlikowWy"));
    EXPECT_FALSE(ui.messages[0].error);
    EXPECT_FALSE(closing);
    window.budowanie().genProcWtoku = false;
    EXPECT_TRUE(window.FormClose());
}

TEST_F(StartTest, DataFolderThatCannotBeCreatedEndsTheStart) {
    test::writeFile(data / "file", "x");
    test::resetState(ui, {"US", "dataDir='" + (data / "file" / "sub").string() + "'"});
    TfGlowny window(view, false);
    EXPECT_FALSE(window.FormCreate());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              txt("Other", "nieMoznaUtworzycKatalogu") + "\n\r" + (data / "file" / "sub").string());
    EXPECT_TRUE(closing);
}

TEST_F(StartTest, ProjectPathNamesTheOutputFolderAndBadResolutionIsMended) {
    start({"US"});
    settings = TUstawienia{};
    applySettingsDefaults(settings);
    settings.plikProjektu = "C:\\P\\Wing.prj";
    settings.rozdzielczosc = 0;
    dataFolder = data.path();
    ASSERT_TRUE(writeSettings());
    TfGlowny window(view, false);
    ASSERT_TRUE(window.FormCreate());
    EXPECT_EQ(outputFolderName, std::filesystem::path("Output") / "Wing");
    EXPECT_TRUE(std::filesystem::is_directory(data / "Output" / "Wing"));
    EXPECT_EQ(settings.rozdzielczosc, 5.0);
    EXPECT_DOUBLE_EQ(pixelSize, 0.2);
}
