#include "../machine/MachineTestSupport.h"
#include "MachineTrace.h"
#include "SimHidBackend.h"
#include "SimMachine.h"

#include "control/Joystick.h"
#include "control/SpeedSlider.h"
#include "control/Tster.h"
#include "foundation/MachineParams.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/Ploter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace korvane::test {
namespace {

using sim::SimConfig;
using sim::SimHidBackend;
using sim::SimMachine;

// The simulated machine behind the HID interface, with every command the
// program wrote kept by its first letter.
class RecordingSimHid final : public HidBackend {
  public:
    RecordingSimHid(std::shared_ptr<SimMachine> machine, std::string* sent)
        : inner_(std::move(machine)), sent_(sent) {}
    std::vector<HidDeviceInfo> enumerate() override { return inner_.enumerate(); }
    int open(const std::string& id) override { return inner_.open(id); }
    int writeReport(const std::string& id, const HidReport& report) override {
        sent_->push_back(static_cast<char>(report[1]));
        return inner_.writeReport(id, report);
    }
    int getIndexedString(const std::string& id, int index, HidBlock& block) override {
        return inner_.getIndexedString(id, index, block);
    }
    void setDeviceChangeHandler(std::function<void()> handler) override {
        inner_.setDeviceChangeHandler(std::move(handler));
    }

  private:
    SimHidBackend inner_;
    std::string* sent_;
};

class PanelOnSim : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        loadTexts();
        resetMachine();
        SimConfig config;
        config.timeScale = 50;
        config.heatingRate = 1e6; // the head reaches any set temperature at once
        config.trace = dir.path() / "trace.txt";
        machine = std::make_shared<SimMachine>(config);
        usbLink = std::make_unique<TfUsb>(std::make_unique<RecordingSimHid>(machine, &sent));
        ReadMachineInfo();
        IdentifyMachine();
        ReadStatus();
        ReadPositions();
        ReadWorkOrigin();
        sent.clear();
    }
    void TearDown() override { resetMachine(); }

    // The executed moves of the trace, one line each.
    std::vector<std::string> traceLines() {
        machine->flushTrace();
        return readLines(dir.path() / "trace.txt");
    }
    int count(char command) const {
        return static_cast<int>(std::count(sent.begin(), sent.end(), command));
    }

    RecordingUserInterface ui;
    TempDir dir;
    std::shared_ptr<SimMachine> machine;
    std::string sent;
    Tster panel;
};

TEST_F(PanelOnSim, AHeldArrowKeySendsOneMoveAndItsReleaseStopsIt) {
    panel.VScrollChange(SliderPosition(machineParams.minSpeed)); // the travel takes minutes
    sent.clear();
    panel.KeyDown(jogRight);
    for (int repeat = 0; repeat < 5; ++repeat) panel.KeyDown(jogRight); // auto-repeat
    EXPECT_EQ(count('A'), 1);
    EXPECT_TRUE(panel.jogActive());
    panel.OnKeyUp(jogRight);
    EXPECT_EQ(count('Y'), 1);
    EXPECT_FALSE(panel.jogActive());
    ASSERT_TRUE(WaitIdle());

    // Stopped on the way: right of where it started, short of the travel's end.
    const auto s = machine->snapshot();
    EXPECT_GT(s.position[0], 0);
    EXPECT_LT(s.position[0], 60000 * machineParams.stepsX);
    EXPECT_EQ(s.position[1], 0);
    const auto lines = traceLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back()[0], 'Y');

    // A new press is a new move.
    panel.KeyDown(jogRight);
    EXPECT_EQ(count('A'), 2);
    panel.OnKeyUp(jogRight);
}

TEST_F(PanelOnSim, TheWindowIsPumpedWhileAJogSettles) {
    panel.VScrollChange(SliderPosition(machineParams.minSpeed));
    sent.clear();
    std::vector<std::string> sentAtPump;
    machineWaitPump = [&] { sentAtPump.push_back(sent); };
    panel.KeyDown(jogRight);
    ASSERT_FALSE(sentAtPump.empty());
    EXPECT_EQ(sentAtPump.back().back(), 'A'); // after the move was sent
    EXPECT_EQ(count('A'), 1);                 // and nothing more went to the machine
    machineWaitPump = nullptr;
    panel.OnKeyUp(jogRight);
}

TEST_F(PanelOnSim, ZDownStopsAtTheProjectZeroHeight) {
    // The simulator's table is 100 mm below the top; the tool starts at the top.
    ASSERT_NEAR(plotstate.pos0.z, 10000, 1);
    panel.KeyDown(jogZDown);
    ASSERT_TRUE(WaitIdle());
    panel.OnKeyUp(jogZDown);
    ASSERT_TRUE(WaitIdle());
    const long long zeroHeight = std::llround(-10000 * machineParams.stepsZ);
    EXPECT_EQ(machine->snapshot().position[2], zeroHeight);

    // At the project zero a further Z down sends nothing.
    sent.clear();
    panel.KeyDown(jogZDown);
    panel.OnKeyUp(jogZDown);
    EXPECT_EQ(count('A'), 0);
    EXPECT_EQ(count('Y'), 1);

    // From below it (a longer tool measured since) Z down goes up to it.
    ASSERT_TRUE(SendMove(0, 0, std::llround(-500 * machineParams.stepsZ)));
    ASSERT_TRUE(WaitIdle());
    panel.KeyDown(jogZDown);
    ASSERT_TRUE(WaitIdle());
    panel.OnKeyUp(jogZDown);
    EXPECT_EQ(machine->snapshot().position[2], zeroHeight);
}

TEST_F(PanelOnSim, CtrlGivesATenthOfTheSpeedUntilReleased) {
    panel.VScrollChange(190); // 1000 mm/min
    ReadSpeeds();
    // Speed values are periods: ten times slower is ten times the value (the
    // machine keeps them in steps, so they come back within one).
    const long long normal = plotstate.speed;
    EXPECT_NEAR(normal, 800, 1);

    panel.KeyDown(keyCtrl);
    panel.KeyDown(keyCtrl); // auto-repeat keeps the remembered speed
    ReadSpeeds();
    EXPECT_NEAR(plotstate.speed, 8000, 1);
    panel.OnKeyUp(keyCtrl);
    ReadSpeeds();
    EXPECT_EQ(plotstate.speed, normal);

    // A release whose press this panel never saw leaves the speed alone.
    sent.clear();
    panel.OnKeyUp(keyCtrl);
    EXPECT_EQ(count('V'), 0);
}

TEST_F(PanelOnSim, DiagonalButtonsStopAtTheNearerEdge) {
    ASSERT_TRUE(MoveToPointDirect(0, 30, 100)); // y 30 mm, x 100 mm
    ReadPositions();
    panel.buttonDown(jogDownLeft);
    ASSERT_TRUE(WaitIdle());
    panel.buttonUp(jogDownLeft);
    ASSERT_TRUE(WaitIdle());
    const auto s = machine->snapshot();
    EXPECT_EQ(s.position[0], std::llround(7000 * machineParams.stepsX)); // 100 - 30 mm
    EXPECT_EQ(s.position[1], 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PanelOnSim, TicksShowThePositionsInMillimetres) {
    ASSERT_TRUE(MoveToPointDirect(-20, 30, 100)); // 20 mm down from the top
    EXPECT_EQ(panel.FormActivate(), "Manual control - connected [USB]");
    panel.Timer1Timer(true);
    const PanelDisplay& d = panel.display();
    EXPECT_NEAR(d.machineX, 100, 0.01);
    EXPECT_NEAR(d.machineY, 30, 0.01);
    EXPECT_NEAR(d.machineZ, 80, 0.01); // the table is 100 mm below the top
    EXPECT_NEAR(d.projectX, 50, 0.01); // the work origin is at 50, 50
    EXPECT_NEAR(d.projectY, -20, 0.01);
    EXPECT_EQ(d.speedCaption, "szybkosc"); // direct moves use the auxiliary slot
    EXPECT_TRUE(d.controlsEnabled);
    EXPECT_FALSE(d.spindleOn);

    panel.k_zalwylClick();
    EXPECT_TRUE(panel.display().spindleOn);
    EXPECT_TRUE(machine->snapshot().spindleOn);
}

TEST_F(PanelOnSim, AHeadTemperatureJumpOfTwentyOneDegreesIsAFailedThermistor) {
    settings.printer3D = true;
    std::vector<std::string> status;
    showStatusText = [&](const std::string& text) { status.push_back(text); };
    auto setHead = [](float head) {
        std::string cmd = "S3t";
        appendFloat32(cmd, head);
        appendFloat32(cmd, 80);
        SendCommand(PadCommand16(cmd));
        headTemperatureSet = {head, 80};
    };
    setHead(200);
    panel.FormActivate();                                           // remembers 200
    for (int tick = 0; tick < 100; ++tick) panel.Timer1Timer(true); // one second of ticks
    EXPECT_EQ(panel.display().headTemperatures, "200/200");
    EXPECT_TRUE(status.empty());
    EXPECT_TRUE(ui.messages.empty());

    setHead(221);
    for (int tick = 0; tick < 100; ++tick) panel.Timer1Timer(true);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0], "awaria termistora");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "awaria termistora");
    showStatusText = nullptr;
}

// A joystick whose position the test sets.
class HeldJoystick final : public JoystickSource {
  public:
    std::optional<JoyState> read() override { return state; }
    std::optional<JoyState> state = JoyState{};
};

TEST_F(PanelOnSim, AJoystickPushedRightAndUpJogsToTheUpperRightUntilCentred) {
    ASSERT_TRUE(MoveToPointDirect(0, 380, 500)); // 20 mm from the back, 100 mm from the right
    HeldJoystick joy;
    sent.clear();
    joy.state = JoyState{65535, 0, 32768, 0};
    panel.joystickStep(joy);
    EXPECT_EQ(panel.joystickKeyNow(), 5);
    EXPECT_EQ(count('A'), 1);
    panel.joystickStep(joy); // held: no second move
    EXPECT_EQ(count('A'), 1);
    ASSERT_TRUE(WaitIdle());

    joy.state = JoyState{};
    panel.joystickStep(joy);
    EXPECT_EQ(count('Y'), 1);
    EXPECT_FALSE(panel.jogActive()); // the keys jog again
    const auto s = machine->snapshot();
    EXPECT_EQ(s.position[0], std::llround(52000 * machineParams.stepsX)); // +20 mm
    EXPECT_EQ(s.position[1], std::llround(40000 * machineParams.stepsY)); // the back edge

    // Without a joystick nothing happens.
    joy.state.reset();
    sent.clear();
    panel.joystickStep(joy);
    EXPECT_TRUE(sent.empty());
}

} // namespace
} // namespace korvane::test
