#include "TestSupport.h"

#include "control/EvdevJoystick.h"
#include "control/Joystick.h"
#include "control/Tster.h"

#include <gtest/gtest.h>

#include <fstream>

namespace korvane::test {
namespace {

JoyState at(int x, int y, std::uint32_t buttons = 0) {
    JoyState j;
    j.x = x;
    j.y = y;
    j.buttons = buttons;
    return j;
}

TEST(Joystick, DirectionsOutsideTheDeadZone) {
    EXPECT_EQ(joystickKey(at(32768, 32768), 5000), 0);
    EXPECT_EQ(joystickKey(at(37768, 27768), 5000), 0); // exactly at the dead zone's edge
    EXPECT_EQ(joystickKey(at(37769, 32768), 5000), 1);
    EXPECT_EQ(joystickKey(at(65535, 0), 5000), 5); // right and up
    EXPECT_EQ(joystickKey(at(0, 65535), 5000), -5);
    EXPECT_EQ(joystickKey(at(0, 0), 5000), 3);
    EXPECT_EQ(joystickKey(at(65535, 65535), 5000), -3);
    // Buttons win over the stick, the spindle button over the others.
    EXPECT_EQ(joystickKey(at(65535, 0, 8), 5000), 8);
    EXPECT_EQ(joystickKey(at(32768, 32768, 8 | 4), 5000), -8);
    EXPECT_EQ(joystickKey(at(32768, 32768, 8 | 4 | 1), 5000), 16);

    EXPECT_EQ(joystickJogCode(5), jogUpRight);
    EXPECT_EQ(joystickJogCode(-5), jogDownLeft);
    EXPECT_EQ(joystickJogCode(3), jogUpLeft);
    EXPECT_EQ(joystickJogCode(-3), jogDownRight);
    EXPECT_EQ(joystickJogCode(8), jogZUp);
    EXPECT_EQ(joystickJogCode(-8), jogZDown);
    EXPECT_EQ(joystickJogCode(16), 0);
    EXPECT_EQ(joystickJogCode(0), 0);
}

TEST(Joystick, NoneAmongFilesThatAreNotInputDevices) {
    TempDir dir;
    std::ofstream(dir / "event0") << "not a device";
    EvdevJoystick none(dir.path());
    EXPECT_FALSE(none.read());
    EvdevJoystick missing(dir / "no-such-folder");
    EXPECT_FALSE(missing.read());
}

} // namespace
} // namespace korvane::test
