#include "control/Joystick.h"

#include "control/Tster.h"

namespace korvane {

namespace {

constexpr int centre = 32768;

} // namespace

int joystickKey(const JoyState& joy, int zeroSize) {
    int key = 0;
    if (joy.x > centre + zeroSize) key = 1;
    if (joy.x < centre - zeroSize) key = -1;
    if (joy.y > centre + zeroSize) key -= 4;
    if (joy.y < centre - zeroSize) key += 4;
    if (joy.buttons & 8) key = 8;
    if (joy.buttons & 4) key = -8;
    if (joy.buttons & 1) key = 16;
    return key;
}

int joystickJogCode(int key) {
    switch (key) {
    case 1:
        return jogRightPad;
    case 3:
        return jogUpLeft;
    case 4:
        return jogUp;
    case 5:
        return jogUpRight;
    case 8:
        return jogZUp;
    case -8:
        return jogZDown;
    case -5:
        return jogDownLeft;
    case -4:
        return jogDown;
    case -3:
        return jogDownRight;
    case -1:
        return jogLeftPad;
    default:
        return 0;
    }
}

} // namespace korvane
