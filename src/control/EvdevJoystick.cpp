#include "control/EvdevJoystick.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <system_error>

namespace korvane {

namespace {

bool hasBit(const unsigned char* bits, int bit) {
    return bits[bit / 8] & (1 << (bit % 8));
}

// The first button of a device with an X and a Y axis: joysticks number their
// buttons from BTN_TRIGGER, gamepads from BTN_SOUTH; 0 for other devices.
int firstButton(int fd) {
    std::array<unsigned char, ABS_MAX / 8 + 1> abs{};
    std::array<unsigned char, KEY_MAX / 8 + 1> keys{};
    if (ioctl(fd, EVIOCGBIT(EV_ABS, sizeof abs), abs.data()) < 0) return 0;
    if (ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys.data()) < 0) return 0;
    if (!hasBit(abs.data(), ABS_X) || !hasBit(abs.data(), ABS_Y)) return 0;
    if (hasBit(keys.data(), BTN_JOYSTICK)) return BTN_TRIGGER;
    if (hasBit(keys.data(), BTN_GAMEPAD)) return BTN_SOUTH;
    return 0;
}

// The axis's current value scaled to 0..65535; the centre when it is missing.
int axis(int fd, int code) {
    input_absinfo info{};
    if (ioctl(fd, EVIOCGABS(code), &info) < 0 || info.maximum <= info.minimum) return 32768;
    return static_cast<int>((static_cast<long long>(info.value) - info.minimum) * 65535 /
                            (static_cast<long long>(info.maximum) - info.minimum));
}

} // namespace

EvdevJoystick::EvdevJoystick(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().filename().string().rfind("event", 0) != 0) continue;
        const int fd = open(entry.path().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        if (const int first = firstButton(fd)) {
            fd_ = fd;
            firstButton_ = first;
            return;
        }
        close(fd);
    }
}

EvdevJoystick::~EvdevJoystick() {
    if (fd_ >= 0) close(fd_);
}

std::optional<JoyState> EvdevJoystick::read() {
    if (fd_ < 0) return std::nullopt;
    std::array<unsigned char, KEY_MAX / 8 + 1> keys{};
    if (ioctl(fd_, EVIOCGKEY(sizeof keys), keys.data()) < 0) return std::nullopt;
    JoyState joy;
    joy.x = axis(fd_, ABS_X);
    joy.y = axis(fd_, ABS_Y);
    joy.z = axis(fd_, ABS_Z);
    for (int i = 0; i < 4; ++i)
        if (hasBit(keys.data(), firstButton_ + i)) joy.buttons |= 1u << i;
    return joy;
}

} // namespace korvane
