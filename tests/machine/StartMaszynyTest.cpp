#include "MachineTestSupport.h"

#include "control/StartMaszyny.h"

#include <gtest/gtest.h>

#include <set>

namespace korvane::test {
namespace {

// The machine's part of the start of machining against a scripted machine that
// stands at the work origin (0, 0) at the safe height: 10 mm = 5333 steps (row 0).
class MachinePreparation : public ScriptedMachineTest {
  protected:
    void SetUp() override {
        ScriptedMachineTest::SetUp();
        safeHeight = 10;
        hid->replies[10] = {atOrigin};
    }

    // The commands sent, each by its length.
    std::vector<std::string> sent() const {
        std::vector<std::string> out;
        for (const auto& r : hid->reports) out.push_back(reportCommand(r, r[1] == 'V' ? 4 : 2));
        return out;
    }

    const HidBlock atOrigin = block({{14, le32(5333)}});
    const HidBlock jobRunning = block({{2, le32(stateJobRunning)}, {14, le32(5333)}});
    // Rapid 1000 mm/min: 3000 after k, 10^6 / 5000 / 0.75 = 266.7.
    const std::string rapidSpeed = bytes({'V', 0, 0x0B, 0x01});
};

TEST_F(MachinePreparation, AtTheOriginTheJobMemoryIsPrepared) {
    ASSERT_TRUE(prepareMachineForJob(1000, false));
    EXPECT_EQ(sent(), (std::vector<std::string>{rapidSpeed, bytes({'F', 0}), bytes({'F', 0}),
                                                bytes({'C', 0}), bytes({'Q', 0}), bytes({'Q', 0}),
                                                bytes({'C', 0}), bytes({'F', 0})}));
    EXPECT_FALSE(jobPaused);
}

TEST_F(MachinePreparation, TheWindowIsPumpedInEveryPauseForTheMachine) {
    // The commands sent by each pump: the pause after the slot command (2) and
    // the settling after each of C, Q, Q, C (4 to 7).
    std::set<std::size_t> pumpedAfter;
    machineWaitPump = [&] { pumpedAfter.insert(hid->reports.size()); };
    ASSERT_TRUE(prepareMachineForJob(1000, false));
    EXPECT_EQ(pumpedAfter, (std::set<std::size_t>{2, 4, 5, 6, 7}));
    EXPECT_EQ(sent().size(), 8u); // what goes to the machine is unchanged
}

TEST_F(MachinePreparation, MachineBusyBeforeTheJobSendsNothingOfIt) {
    hid->replies[10] = {jobRunning};
    jobPaused = true;
    EXPECT_FALSE(prepareMachineForJob(1000, false));
    EXPECT_EQ(sent(), (std::vector<std::string>{rapidSpeed, bytes({'F', 0})}));
    EXPECT_TRUE(jobPaused); // the job memory was not touched
}

TEST_F(MachinePreparation, SecondPositioningFailingSelectsTheAuxiliarySlot) {
    // The machine reports a running job once the job memory was prepared.
    int clears = 0;
    hid->written = [&](const HidReport& r) {
        if (r[1] == 'C' && ++clears == 2) hid->replies[10] = {jobRunning};
    };
    EXPECT_FALSE(prepareMachineForJob(1000, false));
    EXPECT_EQ(sent(), (std::vector<std::string>{rapidSpeed, bytes({'F', 0}), bytes({'F', 0}),
                                                bytes({'C', 0}), bytes({'Q', 0}), bytes({'Q', 0}),
                                                bytes({'C', 0}), bytes({'F', 2})}));
}

TEST_F(MachinePreparation, PrintingSkipsThePositioning) {
    hid->replies[10] = {jobRunning};
    EXPECT_TRUE(prepareMachineForJob(1000, true));
    EXPECT_EQ(sent(),
              (std::vector<std::string>{rapidSpeed, bytes({'F', 0}), bytes({'C', 0}),
                                        bytes({'Q', 0}), bytes({'Q', 0}), bytes({'C', 0})}));
}

} // namespace
} // namespace korvane::test
