#include "machine/RecordLengths.h"

#include "machine/Encoding.h"

#include <array>
#include <string>

namespace korvane {

namespace {

// "@" and "A" to "Z".
constexpr std::array<std::uint8_t, 27> classicLengths = {
    1,                                      // @
    14, 2, 1, 1, 1, 2, 1, 2, 2, 1, 1, 3, 1, // A B C D E F G H I J K L M
    4,  1, 2, 1, 3, 2, 3, 7, 4, 1, 1, 1, 1, // N O P Q R S T U V W X Y Z
};

std::array<std::uint8_t, 27> lengths = classicLengths;

} // namespace

int recordLength(std::uint8_t letter) {
    const int upper = letter & ~0x20;
    if (upper < 0x40 || upper > 'Z')
        throw MachineRangeError("record letter " + std::to_string(letter) + " out of range");
    return lengths[static_cast<std::size_t>(upper - 0x40)];
}

void setRecordLengths(bool newSpeedEncoding, int firmwareMajor) {
    lengths = classicLengths;
    if (newSpeedEncoding) {
        lengths['A' - 0x40] = 15;
        lengths['S' - 0x40] = 16;
        lengths['V' - 0x40] = 6;
    }
    if (firmwareMajor > 5) lengths['T' - 0x40] = 6;
}

} // namespace korvane
