#include "../machine/MachineTestSupport.h"

#include "control/SpeedSlider.h"
#include "control/Tster.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

TEST(SpeedSlider, ScaleAtTheBandEdges) {
    EXPECT_EQ(SliderSpeed(0), 0);
    EXPECT_EQ(SliderSpeed(99), 99);
    EXPECT_EQ(SliderSpeed(100), 100);
    EXPECT_EQ(SliderSpeed(189), 990);
    EXPECT_EQ(SliderSpeed(190), 1000);
    EXPECT_EQ(SliderSpeed(500), 32000);
    EXPECT_EQ(SliderSpeed(501), 0);
    EXPECT_EQ(SliderSpeed(-1), 0);

    EXPECT_EQ(SliderPosition(99), 99);
    EXPECT_EQ(SliderPosition(100), 100);
    EXPECT_EQ(SliderPosition(995), 190); // 189.5 to the even 190
    EXPECT_EQ(SliderPosition(985), 188); // 188.5 to the even 188
    EXPECT_EQ(SliderPosition(1000), 190);
    EXPECT_EQ(SliderPosition(32000), 500);
    EXPECT_EQ(SliderPosition(99999), 1180);
    EXPECT_EQ(SliderPosition(100000), 0);
    EXPECT_EQ(SliderPosition(-5), 0);
}

TEST(SpeedSlider, SnapsEachBandHalvesUp) {
    EXPECT_EQ(snapSpeed(6200).speed, 6000);
    EXPECT_EQ(snapSpeed(6250).speed, 6500);
    EXPECT_EQ(snapSpeed(6300).speed, 6500);
    EXPECT_EQ(snapSpeed(9999).speed, 10000);
    EXPECT_EQ(snapSpeed(10400).speed, 10000);
    EXPECT_EQ(snapSpeed(10500).speed, 11000);
    EXPECT_EQ(snapSpeed(1050).speed, 1100);
    EXPECT_EQ(snapSpeed(995).speed, 1000);
    EXPECT_EQ(snapSpeed(99).speed, 99);
    EXPECT_EQ(snapSpeed(60000).speed, 60000);

    const SnappedSpeed mid = snapSpeed(7000);
    EXPECT_EQ(mid.page, 10);
    EXPECT_EQ(mid.line, 5);
    const SnappedSpeed high = snapSpeed(20000);
    EXPECT_EQ(high.page, 20);
    EXPECT_EQ(high.line, 10);
}

TEST(HeadTemperature, JumpsAndDistanceFromTheSetValue) {
    EXPECT_EQ(headTemperatureVerdict(221, 200, 220), HeadVerdict::thermistorFault);
    EXPECT_EQ(headTemperatureVerdict(179, 200, 180), HeadVerdict::thermistorFault);
    EXPECT_EQ(headTemperatureVerdict(220, 200, 220), HeadVerdict::ok); // 20: no fault
    EXPECT_EQ(headTemperatureVerdict(209, 205, 220), HeadVerdict::headTooCold);
    EXPECT_EQ(headTemperatureVerdict(210, 205, 220), HeadVerdict::ok); // 10: close enough
}

// The panel's slider against a scripted machine: the position it settles on and
// the speed it shows.
class PanelSlider : public ScriptedMachineTest {
  protected:
    Tster panel;
};

TEST_F(PanelSlider, PositionsSnapFromSixThousandOn) {
    EXPECT_EQ(panel.VScrollChange(242), 240); // 6200 -> 6000
    EXPECT_EQ(panel.speedLabel(), 6000);
    EXPECT_EQ(panel.VScrollChange(243), 245); // 6300 -> 6500
    EXPECT_EQ(panel.speedLabel(), 6500);
    EXPECT_EQ(panel.VScrollChange(284), 280); // 10 400 -> 10 000
    EXPECT_EQ(panel.sliderPage(), 20);
    EXPECT_EQ(panel.VScrollChange(285), 290); // 10 500 -> 11 000
    EXPECT_EQ(panel.speedLabel(), 11000);
    EXPECT_EQ(panel.VScrollChange(212), 212); // 3200 stays
    EXPECT_EQ(panel.speedLabel(), 3200);
    ASSERT_FALSE(hid->reports.empty());
    EXPECT_EQ(hid->reports.back()[1], 'V'); // the selected slot's speed went out
}

TEST_F(PanelSlider, NeverBelowTheMinimumAndCappedWhileSmoothing) {
    machineParams.minSpeed = 50;
    EXPECT_EQ(panel.VScrollChange(20), 50);
    EXPECT_EQ(panel.speedLabel(), 50); // the speed the machine was given

    machineParams.maxSmoothFeed = 5000;
    smoothing = true;
    plotstate.sel_speed = 1;                  // the working slot
    EXPECT_EQ(panel.VScrollChange(300), 230); // 12 000 capped at 5000
    EXPECT_EQ(panel.speedLabel(), 5000);
    plotstate.sel_speed = 0; // the rapid slot has no cap
    EXPECT_EQ(panel.VScrollChange(300), 300);
}

TEST_F(PanelSlider, NumpadStepsStayWithinTheMachineSpeeds) {
    machineParams.minSpeed = 10;
    machineParams.maxSpeed = 1000;
    panel.VScrollChange(190);
    panel.KeyDown(keyNumpadPlus);
    EXPECT_EQ(panel.sliderPosition(), 190); // SliderPosition(1000) is the top
    panel.OnKeyUp(keyNumpadPlus);
    panel.KeyDown(keyNumpadMinus);
    EXPECT_EQ(panel.sliderPosition(), 189);
    EXPECT_EQ(panel.speedLabel(), 990);
}

} // namespace
} // namespace korvane::test
