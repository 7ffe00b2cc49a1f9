#include "MachineTestSupport.h"

#include "machine/Encoding.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

TEST(Encoding, FieldLayouts) {
    std::string s;
    appendByte(s, 0x1FF);
    appendLE16(s, 0x1234);
    appendLE24(s, 0xABCDEF);
    appendLE32(s, -2);
    appendLE32(s, 0xFFFFFFFFll);
    appendFloat32(s, 1.0f);
    EXPECT_EQ(s, bytes({0xFF, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                        0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F}));
    EXPECT_EQ(PadCommand16("SBS"), std::string("SBS") + std::string(13, '\0'));
    EXPECT_EQ(PadCommand16("0123456789abcdefXY"), "0123456789abcdefXY");

    // The largest and smallest values of each field fit.
    std::string edges;
    appendLE16(edges, 65535);
    appendLE16(edges, 0);
    appendLE24(edges, 0xFFFFFF);
    appendLE32(edges, INT32_MIN);
    EXPECT_EQ(edges, bytes({0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}));
    EXPECT_THROW(appendLE16(s, 65536), MachineRangeError);
    EXPECT_THROW(appendLE16(s, -1), MachineRangeError);
    EXPECT_THROW(appendLE24(s, 0x1000000), MachineRangeError);
    EXPECT_THROW(appendLE24(s, -1), MachineRangeError);
    EXPECT_THROW(appendLE32(s, 0x100000000ll), MachineRangeError);
    EXPECT_THROW(appendLE32(s, INT32_MIN - 1ll), MachineRangeError);

    const std::uint8_t raw[8] = {0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0x80};
    EXPECT_EQ(readLE32(raw), -2);
    EXPECT_EQ(readLE16(raw + 3), 0x01FF);
    EXPECT_EQ(readLE64(raw), 0x80000001FFFFFFFEull);
}

TEST(Encoding, MoveCommands) {
    // Classic: a zero delta counts as not positive; L = round(2000.5) = 2000.
    EXPECT_EQ(encodeMoveFor(-2000, 0, 0, -1, 3, false, false, 5).bytes,
              bytes({0x41, 0x07, 0x70, 0x17, 0x00, 0xD0, 0x07, 0x00, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeMoveFor(2001, 0, 0, -1, 1, false, false, 5).length, 2002);
    const EncodedMove none = encodeMoveFor(0, 0, 0, -1, 3, false, false, 5);
    EXPECT_TRUE(none.bytes.empty());
    EXPECT_EQ(none.length, 0);

    // Firmware 7 with the new encoding: speed -1 fills the flag nibble, bits 20-23
    // of the dz field and the speed byte.
    const std::string fw7 = encodeMoveFor(10, 20, 30, -1, 1, false, true, 7).bytes;
    ASSERT_EQ(fw7.size(), 15u);
    EXPECT_EQ(static_cast<unsigned char>(fw7[1]), 0xF0);
    EXPECT_EQ(fw7.substr(11, 4), bytes({30, 0, 0xF0, 0xFF}));

    // Firmware 6 keeps 12 bits of speed; the flags stay in the low nibble.
    const std::string fw6 = encodeMoveFor(-10, 20, -30, 0x1ABC, 1, false, true, 6).bytes;
    EXPECT_EQ(static_cast<unsigned char>(fw6[1]), 0x05);
    EXPECT_EQ(fw6.substr(11, 4), bytes({30, 0, 0xF0, 0xFF}));
    const std::string fw6b = encodeMoveFor(1, 1, 1, 0x0345, 1, false, true, 6).bytes;
    EXPECT_EQ(fw6b.substr(11, 4), bytes({1, 0, 0x30, 0x45}));

    // Below firmware 6 the speed byte is speed / 16, at most 255.
    EXPECT_EQ(static_cast<unsigned char>(encodeMoveFor(5, 0, 0, 800, 1, false, true, 5).bytes[14]),
              50);
    EXPECT_EQ(static_cast<unsigned char>(encodeMoveFor(5, 0, 0, -1, 1, false, true, 5).bytes[14]),
              255);

    // Planar: the length ignores dz, but dz wins when larger, and the new
    // encoding builds the command even for a zero length.
    const EncodedMove planar = encodeMoveFor(3, 4, -100, 10, 1, true, true, 7);
    EXPECT_EQ(planar.length, 100);
    EXPECT_EQ(encodeMoveFor(0, 0, 0, 10, 1, true, true, 7).bytes.size(), 15u);
    EXPECT_TRUE(encodeMoveFor(0, 0, 0, 10, 1, true, false, 7).bytes.empty());

    EXPECT_THROW(encodeMoveFor(0x1000000, 0, 0, -1, 1, false, false, 5), MachineRangeError);
    EXPECT_THROW(encodeMoveFor(0, 0, 0x100000, -1, 1, false, true, 7), MachineRangeError);
}

TEST(Encoding, ConversionsAndChecks) {
    RecordingUserInterface ui;
    resetState(ui);
    resetMachine();
    EXPECT_EQ(DriverErrorAxes(15), "X Y1 Y2 Z ");
    EXPECT_EQ(DriverErrorAxes(4 | 8), "Y2 Z ");
    EXPECT_EQ(DriverErrorAxes(0), "");

    // Row 0: minSpeed 12, divisor 0.75, classic. 600 mm/min are 1000 units of
    // 0.01 mm a second; 10^6 / 1000 / 0.75 = 1333.3. Back: 600000 / (1333 · 0.75)
    // = 600.15.
    EXPECT_EQ(SpeedToMachine(11), 65535);
    EXPECT_EQ(SpeedToMachine(600), 1333);
    EXPECT_EQ(SpeedToMachine(6000), 133);
    EXPECT_EQ(MachineToSpeed(0), 12);
    EXPECT_EQ(MachineToSpeed(1333), 600);
    EXPECT_EQ(SpeedCommand(1, 1333), bytes({'V', 1, 0x35, 0x05}));
    EXPECT_EQ(SlotCommand(2), bytes({'F', 2}));

    // KWA: 32-bit speeds, divisor 1/80, 10 steps per 0.01 mm. 6000 mm/min:
    // 10^6 / 10 / 10000 · 80 = 800; back: 600000 / 10 / (800 / 80) = 6000.
    plotstate.info1 = "KWA-2000";
    IdentifyMachine();
    EXPECT_EQ(SpeedToMachine(6000), 800);
    EXPECT_EQ(MachineToSpeed(800), 6000);
    EXPECT_EQ(SpeedCommand(0, 800), bytes({'V', 0, 0x20, 0x03, 0, 0}));

    fwMajor = 6;
    fwMinor = 34;
    fwBuild = 2;
    EXPECT_TRUE(FirmwareAtLeast(6, 32));
    EXPECT_FALSE(FirmwareAtLeast(6, 35));
    EXPECT_TRUE(FirmwareIs(6, 34));
    EXPECT_FALSE(FirmwareAtLeastEach(5, 40, 0)); // each component on its own
    EXPECT_TRUE(FirmwareAtLeastEach(6, 30, 2));
}

} // namespace
} // namespace korvane::test
