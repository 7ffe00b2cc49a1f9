// The control panel window over the simulated machine: keys and buttons jog
// it, the display follows it; idle screenshots in US and SA.
#include "ControlPanelWindow.h"
#include "../machine/MachineTestSupport.h"
#include "MachineTrace.h"
#include "Screenshots.h"
#include "SimHidBackend.h"
#include "SimMachine.h"

#include "control/SpeedSlider.h"
#include "foundation/MachineParams.h"
#include "machine/Ploter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

using namespace korvane;

namespace {

using test::keepScreenshot;

void key(QWidget* w, QEvent::Type type, int code, bool repeat = false) {
    QKeyEvent event(type, code, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(w, &event);
}

class ControlPanelGui : public ::testing::Test {
  protected:
    void start(const std::string& language) {
        test::resetState(ui, {language});
        test::loadTexts(language);
        texts->arabski = language == "SA";
        test::resetMachine();
        sim::SimConfig config;
        config.timeScale = 50;
        config.trace = dir.path() / "trace.txt";
        machine = std::make_shared<sim::SimMachine>(config);
        usbLink = std::make_unique<TfUsb>(std::make_unique<sim::SimHidBackend>(machine));
        window = std::make_unique<ControlPanelWindow>();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // The heartbeats until the display shows the machine.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !shown("wmz").isEmpty(); }, 60000));
    }
    void TearDown() override {
        window.reset();
        test::resetMachine();
    }
    std::vector<std::string> traceLines() {
        machine->flushTrace();
        return test::readLines(dir.path() / "trace.txt");
    }
    QString shown(const char* name) const {
        return window->findChild<QLabel*>(name)->text().trimmed();
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    std::shared_ptr<sim::SimMachine> machine;
    std::unique_ptr<ControlPanelWindow> window;
};

TEST_F(ControlPanelGui, IdleInBothDirections) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        EXPECT_EQ(window->layoutDirection() == Qt::RightToLeft, std::string(language) == "SA");
        EXPECT_EQ(window->windowTitle().toStdString(),
                  txt("Control_panel", "sterRecznePolaczone") + " [USB]");
        EXPECT_EQ(shown("wmz"), "100.00"); // the tool at the top, the table 100 mm below
        EXPECT_EQ(shown("wpx"), "-50.00"); // the work origin at 50, 50
        // The jog pad keeps the machine's directions: X+ right of X-.
        EXPECT_GT(window->findChild<QPushButton*>("kr")->mapTo(window.get(), QPoint()).x(),
                  window->findChild<QPushButton*>("kl")->mapTo(window.get(), QPoint()).x());
        keepScreenshot(window->grab().toImage(), std::string("control-panel-") + language);
        window.reset();
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ControlPanelGui, AHeldKeyJogsOnceAndTheZButtonStopsAtTheProjectZero) {
    start("US");
    window->panel().VScrollChange(SliderPosition(machineParams.minSpeed));
    key(window.get(), QEvent::KeyPress, Qt::Key_Right);
    for (int i = 0; i < 4; ++i) { // Qt's auto-repeat: release and press again
        key(window.get(), QEvent::KeyRelease, Qt::Key_Right, true);
        key(window.get(), QEvent::KeyPress, Qt::Key_Right, true);
    }
    key(window.get(), QEvent::KeyRelease, Qt::Key_Right);
    ASSERT_TRUE(WaitIdle());
    const auto lines = traceLines();
    ASSERT_EQ(lines.size(), 1u); // one move, stopped by its release
    EXPECT_EQ(lines[0][0], 'Y');
    const long long x = machine->snapshot().position[0];
    EXPECT_GT(x, 0);

    auto* zDown = window->findChild<QPushButton*>("kzd");
    QTest::mousePress(zDown, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    QTest::mouseRelease(zDown, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(machine->snapshot().position[2], std::llround(-10000 * machineParams.stepsZ));
    QTest::qWait(50);
    EXPECT_EQ(shown("wmz"), "0.00");
    EXPECT_EQ(shown("wpz"), "0.00");
}

} // namespace
