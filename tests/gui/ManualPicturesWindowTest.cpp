// The windows the operator's manuals show, in each of the nine interface
// languages: each one opens with that language's texts (right to left in
// Arabic) and is kept as the manual's picture "manual-<window>-<language>"
// (scripts/refresh_manual_pictures.sh copies them into help/pictures).
#include "../machine/MachineTestSupport.h"
#include "ControlPanelWindow.h"
#include "LibrarySupport.h"
#include "MachineAboutDialog.h"
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "NarzedzieDialog.h"
#include "OperacjeDialog.h"
#include "Screenshots.h"
#include "SimHidBackend.h"
#include "SimMachine.h"
#include "TestSupport.h"
#include "ToolLengthDialog.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"
#include "machine/Ploter.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

const std::vector<std::string> languages = {"US", "PL", "RU", "CN", "SK", "IT", "ES", "SA", "FR"};

void keep(QWidget& w, const std::string& window, const std::string& language) {
    test::keepShown(w, "manual-" + window + "-" + language);
}

TEST(ManualPictures, MainWindowWithTheSampleModel) {
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        test::RecordingUserInterface ui;
        test::TempDir data;
        test::StartedMainWindow started(ui, data.path(), {language});
        ASSERT_TRUE(started.started()) << started.failure();
        MainWindow& window = started.window();
        EXPECT_EQ(window.layoutDirection() == Qt::RightToLeft, language == "SA");
        for (QAction* menu : window.menuBar()->actions())
            EXPECT_EQ(menu->text().toStdString(),
                      txt("Main_window", menu->menu()->objectName().toStdString() + ".Caption"));
        ASSERT_NO_FATAL_FAILURE(test::dropSampleModel(window));
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
        keep(window, "main-window", language);
        EXPECT_TRUE(test::closeCancellingTheName(window));
    }
}

class ManualDialogs : public ::testing::Test {
  protected:
    void start(const std::string& language) {
        test::resetState(ui, {language});
        test::loadTexts(language);
        texts->arabski = language == "SA";
        texts->loadOperationTypes();
        texts->loadUnits();
        ASSERT_NO_FATAL_FAILURE(test::openLibraries(data.path()));
    }
    void TearDown() override {
        project.reset();
        operationLibrary.reset();
        toolLibrary.reset();
    }

    test::RecordingUserInterface ui;
    test::TempDir data;
};

TEST_F(ManualDialogs, ToolAndOperation) {
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        start(language);
        {
            const TFrezDane tool = *toolLibrary->Lista[0];
            NarzedzieDialog dialog(&tool, 0);
            dialog.show();
            EXPECT_EQ(dialog.layoutDirection() == Qt::RightToLeft, language == "SA");
            EXPECT_EQ(dialog.windowTitle().toStdString(), txt("Tools_dialog", "captionEdycja"));
            keep(dialog, "tool-dialog", language);
            dialog.reject();
        }
        const TOperacjaDane roughing = *operationLibrary->Lista[0];
        OperacjeDialog dialog(&roughing, 0);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle().toStdString(), txt("Operations_dialog", "captionEdycja"));
        EXPECT_EQ(dialog.findChild<QComboBox*>("cbTyp")->currentText().toStdString(),
                  operationTypes[0].str);
        keep(dialog, "operation-dialog", language);
        dialog.reject();
        TearDown();
    }
    EXPECT_TRUE(ui.messages.empty());
}

// The machine windows over the simulated machine behind the USB link.
class ManualMachineWindows : public ::testing::Test {
  protected:
    void start(const std::string& language) {
        test::resetState(ui, {language});
        test::loadTexts(language);
        texts->arabski = language == "SA";
        texts->loadUnits();
        test::resetMachine();
        dataFolder = dir.path();
        project = std::make_unique<TProjekt>();
        sim::SimConfig config;
        config.timeScale = 50;
        machine = std::make_shared<sim::SimMachine>(config);
        usbLink = std::make_unique<TfUsb>(std::make_unique<sim::SimHidBackend>(machine));
    }
    void TearDown() override {
        project.reset();
        test::resetMachine();
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    std::shared_ptr<sim::SimMachine> machine;
};

TEST_F(ManualMachineWindows, ControlPanelToolLengthAndMachineInformation) {
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        start(language);
        {
            ControlPanelWindow panel;
            panel.show();
            panel.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
            auto* z = panel.findChild<QLabel*>("wmz");
            ASSERT_TRUE(QTest::qWaitFor([&] { return !z->text().trimmed().isEmpty(); }, 60000));
            EXPECT_EQ(panel.windowTitle().toStdString(),
                      txt("Control_panel", "sterRecznePolaczone") + " [USB]");
            EXPECT_EQ(panel.layoutDirection() == Qt::RightToLeft, language == "SA");
            keep(panel, "control-panel", language);
        }
        ReadMachineInfo();
        IdentifyMachine();
        ReadStatus();
        ReadPositions();
        ReadWorkOrigin();
        {
            ToolLengthDialog dialog;
            dialog.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
            EXPECT_EQ(dialog.windowTitle().toStdString(),
                      txt("Tool_lenght_dialog", "dlugoscForm.Caption"));
            keep(dialog, "tool-length", language);
        }
        MachineAboutDialog about;
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        EXPECT_EQ(about.findChild<QLabel*>("lStanPolaczeniaWart")->text().toStdString(),
                  txt("Machine_about", "stanPolaczony"));
        keep(about, "machine-about", language);
        TearDown();
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
}

} // namespace
