#include "machine/Encoding.h"

#include <bit>
#include <cstring>

namespace korvane {

namespace {

void appendLittleEndian(std::string& out, unsigned long long value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

void appendByte(std::string& out, long long value) {
    appendLittleEndian(out, value & 0xFF, 1);
}

void appendLE16(std::string& out, long long value) {
    if (value < 0 || value > 0xFFFF)
        throw MachineRangeError("value " + std::to_string(value) + " does not fit 16 bits");
    appendLittleEndian(out, static_cast<unsigned long long>(value), 2);
}

void appendLE24(std::string& out, long long value) {
    if (value < 0 || value > 0xFFFFFF)
        throw MachineRangeError("value " + std::to_string(value) + " does not fit 24 bits");
    appendLittleEndian(out, static_cast<unsigned long long>(value), 3);
}

void appendLE32(std::string& out, long long value) {
    if (value < INT32_MIN || value > static_cast<long long>(UINT32_MAX))
        throw MachineRangeError("value " + std::to_string(value) + " does not fit 32 bits");
    appendLittleEndian(out, static_cast<unsigned long long>(value) & 0xFFFFFFFFull, 4);
}

void appendFloat32(std::string& out, float value) {
    appendLittleEndian(out, std::bit_cast<std::uint32_t>(value), 4);
}

std::string PadCommand16(std::string_view text) {
    std::string out(text);
    if (out.size() < 16) out.resize(16, '\0');
    return out;
}

std::uint16_t readLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::int32_t readLE32(const std::uint8_t* p) {
    const std::uint32_t v =
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(v);
}

std::uint64_t readLE64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

float readFloat32(const std::uint8_t* p) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(readLE32(p)));
}

} // namespace korvane
