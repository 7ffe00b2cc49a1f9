#include "machine/FirmwareVersion.h"

#include <charconv>

namespace korvane {

std::optional<FirmwareVersion> parseFirmwareVersion(std::string_view text) {
    constexpr unsigned limits[3] = {255, 255, 65535};
    unsigned parts[3] = {0, 0, 0};
    std::size_t count = 0;
    const char* at = text.data();
    const char* const end = at + text.size();
    for (;;) {
        if (count == 3) return std::nullopt;
        unsigned value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc{} || value > limits[count]) return std::nullopt;
        parts[count++] = value;
        at = next;
        if (at == end) break;
        if (*at != '.') return std::nullopt;
        ++at;
    }
    if (count < 2) return std::nullopt;
    return FirmwareVersion{static_cast<int>(parts[0]), static_cast<int>(parts[1]),
                           static_cast<int>(parts[2])};
}

} // namespace korvane
