#include "foundation/Guid.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>

namespace korvane {

std::string newGuid() {
    static std::random_device source;
    std::array<std::uint8_t, 16> b{};
    for (auto& byte : b) byte = static_cast<std::uint8_t>(source() & 0xFF);
    b[6] = static_cast<std::uint8_t>((b[6] & 0x0F) | 0x40); // version 4
    b[8] = static_cast<std::uint8_t>((b[8] & 0x3F) | 0x80); // variant 1
    char text[39];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[0],
                  b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}

} // namespace korvane
