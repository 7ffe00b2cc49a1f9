#include "MachineTestSupport.h"

#include "machine/Omron3g3jv.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

TEST(Inverter, ParameterFileCommands) {
    RecordingUserInterface ui;
    resetState(ui);
    resetMachine();
    TempDir dir;
    exeFolder = dir.path();
    auto hid = std::make_shared<ScriptedHid::State>();
    usbLink = std::make_unique<TfUsb>(std::make_unique<ScriptedHid>(hid));
    hid->reports.clear();

    modelCode = "GMm"; // lower case: the 3G3JV file
    EXPECT_EQ(inverterParameterFile().filename(), "3g3jv.dat");
    ProgramInverter(); // missing file: nothing sent
    EXPECT_TRUE(hid->reports.empty());

    writeFile(dir / "3g3jv.dat", "1 300 frequency reference\r\n  200 200\r\n\r\n");
    ProgramInverter();
    ASSERT_EQ(hid->reports.size(), 2u);
    EXPECT_EQ(reportCommand(hid->reports[0], 6), bytes({0x5B, 0x01, 0x00, 0x2C, 0x01, 0}));
    EXPECT_EQ(reportCommand(hid->reports[1], 5), bytes({0x5B, 0xC8, 0x00, 0xC8, 0x00}));

    modelCode = "GMM";
    EXPECT_EQ(inverterParameterFile().filename(), "3g3MV.dat");
    writeFile(dir / "3g3MV.dat", "5 6\nseven\n8 9\n");
    hid->reports.clear();
    EXPECT_THROW(ProgramInverter(), MachineFileError);
    EXPECT_TRUE(hid->reports.empty()); // checked whole before anything is sent

    // A value beyond 16 bits, or below 0: a file error naming the line.
    for (const char* bad : {"1 300\n2 65536 too big\n", "1 300\n-1 5\n"}) {
        writeFile(dir / "3g3MV.dat", bad);
        try {
            ProgramInverter();
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const MachineFileError& e) {
            EXPECT_NE(std::string(e.what()).find("3g3MV.dat: line 2"), std::string::npos)
                << e.what();
        }
        EXPECT_TRUE(hid->reports.empty());
    }
    writeFile(dir / "3g3MV.dat", "65535 0\n");
    ProgramInverter();
    ASSERT_EQ(hid->reports.size(), 1u);
    EXPECT_EQ(reportCommand(hid->reports[0], 5), bytes({0x5B, 0xFF, 0xFF, 0, 0}));
    exeFolder = KORVANE_EXE_DIR;
    resetMachine();
}

} // namespace
} // namespace korvane::test
