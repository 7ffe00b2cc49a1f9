// The job transmission over the network link to the simulated machine: a
// record whose echo was lost is never sent again.
#include "MachineTestSupport.h"
#include "SimMachine.h"
#include "SimServer.h"

#include "machine/LinkErrors.h"
#include "machine/Ploter.h"
#include "machine/TransmitArm.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

class TransmissionOverTcp : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        loadTexts();
        resetMachine();
        jobLogOn = false;
        sim::SimConfig c;
        c.timeScale = 200;
        machine = std::make_shared<sim::SimMachine>(c);
        server = std::make_unique<sim::SimServer>(machine, sim::SimPorts{0, 0, 0, false});
        networkMachineLinks({server->commandPort(), server->infoPort()});
        ASSERT_TRUE(connectNetworkLink());
    }
    void TearDown() override {
        transArm.stop();
        resetMachine();
        server.reset();
    }

    RecordingUserInterface ui;
    TempDir dir;
    std::shared_ptr<sim::SimMachine> machine;
    std::unique_ptr<sim::SimServer> server;
};

TEST_F(TransmissionOverTcp, RecordWhoseEchoWasLostIsNeverSentTwice) {
    // Forty pause records "p", 1 .. 40.
    std::string job;
    for (int i = 1; i <= 40; ++i) job += bytes({'p', i});
    writeFile(dir / "out.bin", job);
    ASSERT_TRUE(transArm.start(TOperacjaDane{}, dir / "out.bin", ""));
    // The tick's exchanges: the status (0), records 1 to 17 (1 to 17), "G"
    // (18), records 18 and 19 (19, 20), record 20 (21): the machine takes
    // record 20 and the connection drops before its echo.
    EXPECT_EQ(server->control("drop-echo 21"), "ok");
    transArm.tick();
    EXPECT_FALSE(transArm.isOpen());
    EXPECT_EQ(transArm.lastFailure(), ethernetNoEcho);
    EXPECT_EQ(transArm.licznik(), 19);
    ASSERT_TRUE(transArm.lostEcho());
    EXPECT_EQ(transArm.lostEcho()->confirmedRecords, 19);
    EXPECT_EQ(transArm.lostEcho()->confirmedBytes, 38u);
    EXPECT_FALSE(transArm.lostEcho()->machineStopped); // no link to tell it
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "101");

    // Later ticks send nothing; once the link is back the machine is stopped.
    transArm.tick();
    ASSERT_TRUE(connectNetworkLink());
    transArm.tick();
    EXPECT_TRUE(transArm.stopMachineAfterLostEcho());
    EXPECT_TRUE(transArm.lostEcho()->machineStopped);
    const auto s = machine->snapshot();
    EXPECT_EQ(s.executedRecords + static_cast<long long>(s.buffered), 20); // record 20 once
    EXPECT_EQ(s.overflows, 0);

    // A new start forgets the lost echo.
    ASSERT_TRUE(transArm.start(TOperacjaDane{}, dir / "out.bin", ""));
    EXPECT_FALSE(transArm.lostEcho());
}

} // namespace
} // namespace korvane::test
