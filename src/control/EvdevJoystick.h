#pragma once

#include "control/Joystick.h"

#include <filesystem>

// The first joystick among the Linux input devices (evdev), read through the
// device's current axis and button state: x, y, z scaled to 0..65535, the first
// four buttons as the mask bits 1, 2, 4 and 8.
namespace korvane {

class EvdevJoystick final : public JoystickSource {
  public:
    // Looks for a joystick in `folder` (the system's /dev/input by default).
    explicit EvdevJoystick(const std::filesystem::path& folder = "/dev/input");
    ~EvdevJoystick() override;
    EvdevJoystick(const EvdevJoystick&) = delete;
    EvdevJoystick& operator=(const EvdevJoystick&) = delete;

    std::optional<JoyState> read() override;

  private:
    int fd_ = -1;
    int firstButton_ = 0;
};

} // namespace korvane
