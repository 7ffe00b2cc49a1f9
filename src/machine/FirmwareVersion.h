#pragma once

#include <optional>
#include <string_view>

// A firmware version given as text, as the batch program and the simulator
// take it on their command lines.
namespace korvane {

struct FirmwareVersion {
    int major = 0, minor = 0, build = 0;
};

// "X.Y" or "X.Y.Z" in decimal digits: major and minor 0 to 255 (one byte each
// in the machine's reply), build 0 to 65535 (build 0 when left out). Anything
// else is refused: signs, spaces, other characters, a part missing or too many.
std::optional<FirmwareVersion> parseFirmwareVersion(std::string_view text);

} // namespace korvane
