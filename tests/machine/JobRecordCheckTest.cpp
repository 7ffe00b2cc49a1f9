#include "MachineTestSupport.h"

#include "machine/Encoding.h"
#include "machine/JobRecordCheck.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

TEST(JobRecordCheck, RecordsMustSplitWithTheMachinesLengths) {
    RecordingUserInterface ui;
    resetState(ui);
    resetMachine(); // the classic controller: A 14, S 2, V 4, T 3
    TempDir dir;
    auto check = [&](const std::string& job) {
        writeFile(dir / "out.bin", job);
        return checkJobRecords(dir / "out.bin").problem.value_or("ok");
    };
    const std::string move = std::string("a") + bytes({0, 5, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(check(bytes({'s', 0, 'v', 1, 0x10, 0x27, 'p', 100, 'f', 3, 'r', 1, 1}) + move +
                    bytes({'l', 1, 0, 't', 1, 180, 'r', 0, 2})),
              "ok");
    EXPECT_EQ(check(""), "ok");
    EXPECT_EQ(checkJobRecords(dir / "out.bin").records, 0);
    writeFile(dir / "out.bin", bytes({'p', 1, 'p', 2, 'r', 1}));
    EXPECT_EQ(checkJobRecords(dir / "out.bin").records, 2); // whole before the wrong one
    EXPECT_EQ(check(bytes({'p', 1, 'r', 1})), "record 1 at byte 2 does not fit the record "
                                              "lengths of this machine");
    EXPECT_EQ(check(bytes({'p', 1, 0x1F})), "record 1 at byte 2 does not fit the record "
                                            "lengths of this machine");
    EXPECT_EQ(check(bytes({'X', 'p', 1})),
              "record 0 at byte 0 is not a job record for this machine");
    EXPECT_EQ(check(bytes({'f', 5})), "record 0 at byte 0 is not a job record for this machine");
    EXPECT_EQ(check(bytes({'r', 1, 2})), "record 0 at byte 0 is not a job record for this machine");
    // A 16-byte switch split as two-byte "s" records.
    EXPECT_EQ(check("sfw" + std::string(13, ' ')),
              "record 0 at byte 0 is not a job record for this machine");

    // The newer controllers: 16-byte "s" and "S" records, 6-byte speeds.
    setRecordLengths(true, 6);
    EXPECT_EQ(check("sfw" + std::string(13, ' ') + PadCommand16("sBS") + PadCommand16("SE") +
                    bytes({'v', 0, 1, 0, 0, 0, 't', 1, 0x50, 0x46, 0, 0})),
              "ok");
    EXPECT_EQ(check(bytes({'s', 0, 'v', 1, 0x10, 0x27})),
              "record 0 at byte 0 does not fit the record lengths of this machine");
    EXPECT_EQ(check(PadCommand16("SX")), "record 0 at byte 0 is not a job record for this machine");
    resetMachine();
}

} // namespace
} // namespace korvane::test
