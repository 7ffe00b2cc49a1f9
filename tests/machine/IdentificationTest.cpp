#include "MachineTestSupport.h"

#include "machine/FirmwareVersion.h"
#include "machine/Ploter.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

class Identification : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        exeFolder = dir.path();
        resetMachine();
    }
    void TearDown() override {
        exeFolder = KORVANE_EXE_DIR;
        resetMachine();
    }
    void identify(const std::string& product, int major, int minor, int build = 0) {
        plotstate.info1 = product;
        fwMajor = static_cast<std::uint16_t>(major);
        fwMinor = static_cast<std::uint16_t>(minor);
        fwBuild = static_cast<std::uint16_t>(build);
        IdentifyMachine();
    }
    RecordingUserInterface ui;
    TempDir dir;
};

TEST_F(Identification, RowZeroIsTheDefaultAndTheTableCoversTheRanges) {
    const auto& table = machineModelTable();
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(table[0].code, std::string(defaultProductString).substr(0, 3));
    EXPECT_EQ(table[0].params.stepsZ, 5.33333);
    bool newer = false, sizeClass = false, fourthAxis = false;
    for (const auto& row : table) {
        if (row.params.newSpeedEncoding) {
            EXPECT_EQ(row.params.minSpeed, 1) << row.code;
        }
        EXPECT_EQ(row.params.stepsX, row.params.stepsY) << row.code;
        newer |= row.newer.present;
        sizeClass |= row.newer.readsSizeClass;
        fourthAxis |= row.params.stepsB > 0;
        EXPECT_TRUE(row.code[0] == 'X' || row.code[0] == 'G' || row.code.rfind("KW", 0) == 0)
            << row.code;
    }
    EXPECT_TRUE(newer && sizeClass && fourthAxis);
    EXPECT_DOUBLE_EQ(transferMargin, 5.0);
    identify(defaultProductString, 0, 0);
    EXPECT_DOUBLE_EQ(transferMargin, 1.0);
    EXPECT_EQ(finishingFeedLimit, 2000);
}

TEST_F(Identification, RowSelection) {
    identify("XLA-1000", 5, 9);
    EXPECT_EQ(modelCode, "XLA");
    EXPECT_DOUBLE_EQ(machineParams.stepsX, 5);
    identify("XLAHD 01", 5, 9); // the variant of characters 4 to 6 wins as the later row
    EXPECT_DOUBLE_EQ(machineParams.stepsX, 10);
    identify("XSE200AB", 5, 9); // six-character code
    EXPECT_EQ(modelCode, "XSE200");
    EXPECT_EQ(machineParams.maxSpeed, 5000);
    identify("ZZZ-0000", 5, 9); // no row: the model identified before stays, calibrated once
    EXPECT_EQ(machineParams.maxSpeed, 5000);
    EXPECT_DOUBLE_EQ(machineParams.stepsX, 3);
}

TEST_F(Identification, NewerGenerationOverrides) {
    smoothing = true;
    identify("GMN-000b", 6, 34);
    EXPECT_TRUE(extendedStatus);
    EXPECT_TRUE(modelVariant);
    EXPECT_TRUE(alternativeRamp);
    EXPECT_FALSE(smoothing);
    EXPECT_DOUBLE_EQ(sharpCornerAngle, 160);
    EXPECT_FLOAT_EQ(motionFactor, 400);
    EXPECT_DOUBLE_EQ(machineParams.speedDivisor, 2.0 / 72); // times mult from 6.32
    EXPECT_EQ(machineParams.acceleration, 0);               // 6.34
    identify("GMN-0001", 6, 35);
    EXPECT_FALSE(modelVariant);
    EXPECT_EQ(machineParams.acceleration, 4);
    identify("GMN-0001", 6, 31);
    EXPECT_DOUBLE_EQ(machineParams.speedDivisor, 1.0 / 72);
    // Without a USB link the size class read fails: standard size.
    identify("GMX-0001", 9, 12, 76);
    EXPECT_EQ(machineParams.maxSpeed, 15000);
    EXPECT_EQ(machineParams.sliderMax, 330);
    EXPECT_EQ(machineParams.cornerCoefNormal, 1100);
    identify("XKC-3020", 5, 9);
    EXPECT_FALSE(extendedStatus);
    EXPECT_DOUBLE_EQ(sharpCornerAngle, 165);
}

TEST_F(Identification, RecordLengthsFollowTheController) {
    identify("KWA-2000", 6, 12);
    EXPECT_EQ(recordLength('A'), 15);
    EXPECT_EQ(recordLength('s'), 16);
    EXPECT_EQ(recordLength('V'), 6);
    EXPECT_EQ(recordLength('t'), 6);
    identify("KWA-2000", 5, 9);
    EXPECT_EQ(recordLength('T'), 3);
    identify("XKC-3020", 5, 9);
    EXPECT_EQ(recordLength('a'), 14);
    EXPECT_EQ(recordLength('U'), 7);
    EXPECT_EQ(recordLength('@'), 1);
    EXPECT_THROW(recordLength('['), MachineRangeError);
    EXPECT_THROW(recordLength('1'), MachineRangeError);
}

TEST_F(Identification, CalibrationFile) {
    writeFile(dir / "kalibracja.txt", "1.5\r\n0.5\r\n1.02\r\n");
    identify("XKC-3020", 5, 9);
    EXPECT_FLOAT_EQ(calX, 1.4f);
    EXPECT_FLOAT_EQ(calY, 0.6f);
    EXPECT_FLOAT_EQ(calZ, 1.02f);
    EXPECT_DOUBLE_EQ(machineParams.stepsX, 0.979415 / 1.4f);
    EXPECT_DOUBLE_EQ(machineParams.stepsZ, 5.33333 / 1.02f);
    identify("XKC-3020", 5, 9); // again: from the row, not compounded
    EXPECT_DOUBLE_EQ(machineParams.stepsX, 0.979415 / 1.4f);

    writeFile(dir / "kalibracja.txt", "1.0\nabc\n1.0\n");
    plotstate.info1 = "XKC-3020";
    EXPECT_THROW(IdentifyMachine(), MachineFileError);
}

TEST_F(Identification, CalibrationMemoryOfTheNewerControllers) {
    auto hid = std::make_shared<ScriptedHid::State>();
    usbLink = std::make_unique<TfUsb>(std::make_unique<ScriptedHid>(hid));
    // Erased memory (0xFFFFFFFF, a NaN) and infinity stand for no calibration,
    // as 0 does; 1.25 is taken.
    hid->replies[18] = {block({{2, bytes({0xFF, 0xFF, 0xFF, 0xFF})},
                               {6, bytes({0x00, 0x00, 0x80, 0x7F})},
                               {10, bytes({0x00, 0x00, 0xA0, 0x3F})}})};
    identify("GMN-0001", 6, 40);
    EXPECT_EQ(calX, 1.0f);
    EXPECT_EQ(calY, 1.0f);
    EXPECT_EQ(calZ, 1.25f);
    EXPECT_EQ(machineParams.stepsX, 2.0);
    EXPECT_EQ(machineParams.stepsY, 2.0);
    EXPECT_EQ(machineParams.stepsZ, 1.6);

    hid->replies[18] = {block({{2, bytes({0x00, 0x00, 0x80, 0xFF})}, {6, bytes({0, 0, 0, 0})}})};
    identify("GMN-0001", 6, 40); // minus infinity and 0
    EXPECT_EQ(calX, 1.0f);
    EXPECT_EQ(calY, 1.0f);
    EXPECT_EQ(calZ, 1.0f);
    EXPECT_EQ(machineParams.stepsX, 2.0);
}

TEST_F(Identification, WriteCalibrationBytes) {
    auto hid = std::make_shared<ScriptedHid::State>();
    usbLink = std::make_unique<TfUsb>(std::make_unique<ScriptedHid>(hid));
    hid->reports.clear();
    WriteCalibration(1.0f, 1.0f, 1.0f);
    ASSERT_EQ(hid->reports.size(), 12u);
    const int expected[4] = {0x00, 0x00, 0x80, 0x3F};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(reportCommand(hid->reports[static_cast<std::size_t>(i)], 5),
                  bytes({'S', 0x0D, 68 + i, expected[i % 4], 0}));
}

TEST_F(Identification, CachedProductString) {
    dataFolder = dir.path();
    loadCachedProduct();
    EXPECT_EQ(plotstate.info1, defaultProductString);
    plotstate.info1 = "GMN-0001";
    saveCachedProduct();
    EXPECT_EQ(readFile(dir / "typ.txt"), "GMN-0001\r\n");
    plotstate.info1.clear();
    loadCachedProduct();
    EXPECT_EQ(plotstate.info1, "GMN-0001");
}

TEST(FirmwareVersion, AcceptedAndRefusedForms) {
    auto version = [](std::string_view text) {
        const auto v = parseFirmwareVersion(text);
        return v ? std::to_string(v->major) + "/" + std::to_string(v->minor) + "/" +
                       std::to_string(v->build)
                 : std::string("refused");
    };
    EXPECT_EQ(version("5.9"), "5/9/0");
    EXPECT_EQ(version("5.9.0"), "5/9/0");
    EXPECT_EQ(version("6.40.1"), "6/40/1");
    EXPECT_EQ(version("06.040.00077"), "6/40/77");
    EXPECT_EQ(version("255.255.65535"), "255/255/65535");
    for (const char* refused :
         {"5.9x", "5.9.0x", "5", "5.", "5.9.", ".5.9", "5..9", "5.9.0.1", "x5.9", "-1.9", "+5.9",
          " 5.9", "5.9 ", "5,9", "256.0", "5.256", "5.9.65536", "99999999999.1", ""})
        EXPECT_EQ(version(refused), "refused") << refused;
}

} // namespace
} // namespace korvane::test
