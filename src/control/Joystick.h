#pragma once

#include <cstdint>
#include <optional>

// The joystick as the control panel reads it: x, y, z from 0 to 65535 with the
// centre at 32768 (y grows downwards) and the button mask.
namespace korvane {

struct JoyState {
    int x = 32768, y = 32768, z = 32768;
    std::uint32_t buttons = 0;
};

// Where the panel's joystick readings come from; nothing when no joystick is
// attached.
class JoystickSource {
  public:
    virtual ~JoystickSource() = default;
    virtual std::optional<JoyState> read() = 0;
};

// The direction code of a reading: +-1 for x, -+4 for y outside the dead zone
// around the centre; button 8 gives 8 (Z up), button 4 -8 (Z down), button 1 16
// (spindle), the last of them winning.
int joystickKey(const JoyState& joy, int zeroSize);

// The jog code of a direction code; 0 for none and for the spindle button.
int joystickJogCode(int key);

} // namespace korvane
