#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Byte encodings of the machine's commands and replies. Commands are byte
// strings (std::string holding any byte value 0 to 255) sent verbatim.
namespace korvane {

// A value that does not fit its field: the command is not sent and the error
// reaches the handler that asked for it.
struct MachineRangeError : std::range_error {
    using std::range_error::range_error;
};

void appendByte(std::string& out, long long value); // the low 8 bits
void appendLE16(std::string& out, long long value); // 0..65535
void appendLE24(std::string& out, long long value); // 0..0xFFFFFF
void appendLE32(std::string& out, long long value); // int32 or uint32 range
void appendFloat32(std::string& out, float value);  // IEEE-754 single, low byte first

// The text followed by NUL bytes up to exactly 16 bytes; 16 bytes or more stay as
// they are.
std::string PadCommand16(std::string_view text);

std::uint16_t readLE16(const std::uint8_t* p);
std::int32_t readLE32(const std::uint8_t* p);
std::uint64_t readLE64(const std::uint8_t* p);
float readFloat32(const std::uint8_t* p);

// A reply block of the machine: 256 bytes (and one spare, as the USB buffer).
using ReplyBlock = std::array<std::uint8_t, 257>;

} // namespace korvane
