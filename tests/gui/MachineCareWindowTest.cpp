// The machine care dialogs as windows over the simulated machine: tool
// length, project zero, moves by numbers, calibration and machine information,
// each used through its widgets and kept as US and SA screenshots.
#include "../machine/MachineTestSupport.h"
#include "BasePointsDialog.h"
#include "CalibrationDialog.h"
#include "ControlPanelWindow.h"
#include "MachineAboutDialog.h"
#include "MoveDialog.h"
#include "Screenshots.h"
#include "SimHidBackend.h"
#include "SimMachine.h"
#include "ToolLengthDialog.h"

#include "foundation/CommandLine.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"
#include "machine/Omron3g3jv.h"
#include "machine/Ploter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace korvane;

namespace {

void keep(QWidget* w, const std::string& name) {
    test::keepScreenshot(*w, name);
}

class MachineCareGui : public ::testing::Test {
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
        ReadMachineInfo();
        IdentifyMachine();
        ReadStatus();
        ReadPositions();
        ReadWorkOrigin();
    }
    void show(QWidget* w) {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }
    void TearDown() override { test::resetMachine(); }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    std::shared_ptr<sim::SimMachine> machine;
};

TEST_F(MachineCareGui, ToolLengthFromTheTableSurface) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        ASSERT_TRUE(SendMove(0, 0, -std::llround(9000 * machineParams.stepsZ))); // 90 mm down
        WaitIdle();
        ToolLengthDialog dialog;
        show(&dialog);
        EXPECT_EQ(dialog.layoutDirection() == Qt::RightToLeft, std::string(language) == "SA");
        EXPECT_EQ(dialog.findChild<QLabel*>("Label1Jm")->text().toStdString(),
                  "[" + unitTable[0].skrot + "]");
        EXPECT_TRUE(dialog.findChild<QPushButton*>("pomiar")->isEnabled());
        keep(&dialog, std::string("tool-length-") + language);
        QTest::mouseClick(dialog.findChild<QPushButton*>("powierzchnia_stolu"), Qt::LeftButton);
        EXPECT_TRUE(dialog.logic().narzedzieZmierzone);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_NEAR(machine->snapshot().origin[2], std::llround(9000 * machineParams.stepsZ), 1);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MachineCareGui, BasePointAddedAndKept) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        {
            BasePointsDialog dialog;
            show(&dialog);
            auto* name = dialog.findChild<QLineEdit*>("komentarz");
            QTest::keyClicks(name, "Vice");
            QTest::mouseClick(dialog.findChild<QPushButton*>("Dodaj"), Qt::LeftButton);
            auto* list = dialog.findChild<QListWidget*>("lista");
            ASSERT_EQ(list->count(), 2);
            EXPECT_EQ(list->item(1)->text(), "X=    50.00   Y=    50.00 Vice");
            EXPECT_EQ(list->currentRow(), 1);
            keep(&dialog, std::string("base-points-") + language);
        }
        EXPECT_EQ(test::readFile(dir / "base.txt"), "X=1000.00   Y=1000.00  Punkt taki sobie\r\n"
                                                    "X=    50.00   Y=    50.00 Vice\r\n");
        std::filesystem::remove(dir / "base.txt");
    }
}

TEST_F(MachineCareGui, MoveDialogWithItsServicePanel) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        MoveDialog dialog;
        show(&dialog);
        EXPECT_FALSE(dialog.findChild<QWidget*>("pSerwis")->isVisible());
        QTest::keyClick(&dialog, Qt::Key_F12,
                        Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
        EXPECT_TRUE(dialog.findChild<QWidget*>("pSerwis")->isVisible());
        EXPECT_EQ(dialog.findChild<QLabel*>("eSumaPrzesuwow")->text(), "0");
        EXPECT_EQ(dialog.findChild<QListWidget*>("lbSekwencja")->count(), 14);
        keep(&dialog, std::string("move-") + language);
    }
}

TEST_F(MachineCareGui, CalibrationAndMachineInformation) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        {
            CalibrationDialog dialog;
            show(&dialog);
            EXPECT_EQ(dialog.findChild<QLabel*>("txtCalibrationX")->text(), "1.00000000");
            keep(&dialog, std::string("calibration-") + language);
        }
        MachineAboutDialog about;
        show(&about);
        EXPECT_EQ(about.findChild<QLabel*>("lModelWart")->text(), "XKC-3020");
        EXPECT_EQ(about.findChild<QLabel*>("lStanPolaczeniaWart")->text().toStdString(),
                  txt("Machine_about", "stanPolaczony"));
        EXPECT_EQ(about.findChild<QLabel*>("lKalibracjaOsXWart")->text(), "1.00000000");
        keep(&about, std::string("machine-about-") + language);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MachineCareGui, ThePanelOffersTheDialogs) {
    start("US");
    ControlPanelWindow panel;
    for (const char* name : {"pomiar", "setbaza", "Button1", "oMaszynie"})
        EXPECT_NE(panel.findChild<QPushButton*>(name), nullptr) << name;
    // Without the switch "SERVICE" the probe within 10 mm stays hidden.
    show(&panel);
    EXPECT_FALSE(panel.findChild<QPushButton*>("ButtonSprawdzBaze")->isVisible());
}

TEST_F(MachineCareGui, ServicePanelProgramsTheInverterAndProbes) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        ui.messages.clear();
        programArguments.push_back("SERVICE");
        exeFolder = dir.path();
        test::writeFile(inverterParameterFile(), "1 300 frequency reference\r\n");
        ControlPanelWindow panel;
        show(&panel);
        auto* service = panel.findChild<QWidget*>("pSerwisowy");
        EXPECT_FALSE(service->isVisible());
        QTest::mouseClick(panel.findChild<QPushButton*>("Servis"), Qt::LeftButton);
        EXPECT_TRUE(service->isVisible());
        keep(&panel, std::string("control-panel-service-") + language);

        QTest::mouseClick(panel.findChild<QPushButton*>("SetOmron"), Qt::LeftButton);
        EXPECT_EQ(machine->inverterParameters(), (std::map<int, int>{{1, 300}}));
        auto* bounded = panel.findChild<QPushButton*>("ButtonSprawdzBaze");
        ASSERT_TRUE(bounded->isVisible());
        QTest::mouseClick(bounded, Qt::LeftButton);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "  baza=       0.000     0.000     0.000");
        EXPECT_EQ(ui.messages[0].caption, txt("Control_panel", "ButtonSprawdzBaze.Caption"));
        QTest::mouseClick(panel.findChild<QPushButton*>("Servis"), Qt::LeftButton);
        EXPECT_FALSE(service->isVisible());
        panel.stopHeartbeat();
    }
}

} // namespace
