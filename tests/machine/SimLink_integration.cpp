#include "MachineTestSupport.h"
#include "SimHidBackend.h"
#include "SimMachine.h"
#include "SimServer.h"

#include "machine/Ploter.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>

#include <thread>

namespace korvane::test {
namespace {

using sim::SimConfig;
using sim::SimHidBackend;
using sim::SimMachine;

// The program on one side, the simulated machine on the other, over the HID
// backend in process.
class SimUsb : public ::testing::Test {
  protected:
    void start(SimConfig config) {
        config.timeScale = 200;
        machine = std::make_shared<SimMachine>(config);
        auto backend = std::make_unique<SimHidBackend>(machine);
        hid = backend.get();
        usbLink = std::make_unique<TfUsb>(std::move(backend));
        ReadMachineInfo();
        IdentifyMachine();
    }
    void SetUp() override {
        resetState(ui);
        loadTexts();
        resetMachine();
    }
    void TearDown() override { resetMachine(); }

    RecordingUserInterface ui;
    std::shared_ptr<SimMachine> machine;
    SimHidBackend* hid = nullptr;
};

TEST_F(SimUsb, IdentifiesAndMovesToAPointOfTheWork) {
    start(SimConfig{});
    EXPECT_EQ(plotstate.info0, "Vardimon");
    EXPECT_EQ(modelCode, "XKC");
    EXPECT_EQ(ReadFirmwareVersion(), "5.9.0");
    EXPECT_FLOAT_EQ(workArea.x, 600);

    plotstate.pos0 = {10000, 5000, 12000}; // 100 mm, 50 mm; table 120 mm below the top
    SetWorkOriginXY();
    SetWorkOriginZ();
    ReadWorkOrigin();
    EXPECT_NEAR(plotstate.pos0.x, 10000, 1);
    safeHeight = 25;
    ASSERT_TRUE(MoveToPoint(5, 20, 30));
    const auto s = machine->snapshot();
    const TMachineParams& p = machineParams;
    EXPECT_NEAR(s.position[0], (3000 + 10000) * p.stepsX, 1.5);
    EXPECT_NEAR(s.position[1], (2000 + 5000) * p.stepsY, 1.5);
    EXPECT_NEAR(s.position[2], (500 - 12000) * p.stepsZ, 1.5);

    ASSERT_TRUE(MoveToPointDirect(0, 0, 0));
    EXPECT_NEAR(machine->snapshot().position[0], 0, 1);
}

TEST_F(SimUsb, StatusFaultsEndInMessagesNotHangs) {
    start(SimConfig{});
    machineWaitLimit = std::chrono::milliseconds(300);
    machine->setFaults([](sim::SimFaults& f) { f.busyForever = true; });
    EXPECT_FALSE(WaitIdle());
    EXPECT_FALSE(MoveToPoint(5, 0, 0)); // moving: refused
    ASSERT_EQ(ui.messages.size(), 1u);
    machine->clearFaults();

    machine->driveError(3, 9);
    ASSERT_TRUE(ReadStatus());
    EXPECT_TRUE(plotstate.StateExtend & stateDriveError);
    EXPECT_EQ(ReadDriverError(), 3);
    EXPECT_EQ(DriverErrorAxes(driverErrorAxisMask), "X Y2 ");

    machine->setFaults([](sim::SimFaults& f) { f.unsettled = true; });
    EXPECT_FALSE(ReadStatus());
}

TEST_F(SimUsb, UnplugAndPlugAgain) {
    start(SimConfig{});
    QueueMainLoop& loop = queueMainLoop();
    hid->setPlugged(false);
    loop.drain();
    EXPECT_FALSE(linkUp());
    EXPECT_EQ(SendCommand("Y"), usbNotPresent);
    ReadStatus();
    EXPECT_EQ(plotstate.state, 0); // a zeroed block reads as idle, no job
    hid->setPlugged(true);
    loop.drain();
    EXPECT_TRUE(linkUp());
    EXPECT_EQ(SendCommand("Y"), 0);
}

TEST_F(SimUsb, NewerControllerCalibrationAndSizeClass) {
    SimConfig c;
    c.product = "GMX-0100";
    c.fwMajor = 9;
    c.fwMinor = 12;
    c.fwBuild = 80;
    c.sizeClass = 'L';
    start(c);
    EXPECT_TRUE(extendedStatus);
    EXPECT_EQ(machineParams.maxSpeed, 30000);
    EXPECT_EQ(machineParams.sliderMax, 480);
    EXPECT_EQ(machineParams.cornerCoefNormal, 700); // firmware 9.12.77 or later
    EXPECT_EQ(machineParams.cornerCoefSteep, 600);
    const double baseSteps = machineParams.stepsX;

    WriteCalibration(1.25f, 0.8f, 1.0f);
    IdentifyMachine();
    EXPECT_FLOAT_EQ(calX, 1.25f);
    EXPECT_FLOAT_EQ(calY, 0.8f);
    EXPECT_DOUBLE_EQ(machineParams.stepsX, baseSteps / 1.25f);
    EXPECT_DOUBLE_EQ(machineParams.stepsZ, 4.0);
}

TEST(SimProtocol, RejectsWhatAMachineRejects) {
    SimConfig c;
    c.timeScale = 1000;
    SimMachine m(c);
    // No manual move while a job runs; records wait for "G".
    m.execute(std::string("a") + std::string(13, '\0'));
    EXPECT_EQ(m.snapshot().buffered, 1u);
    EXPECT_EQ(m.execute("G"), "G");
    // An echo of a job record comes back with its letter in upper case.
    std::string record = "p";
    record.push_back(5);
    EXPECT_EQ(m.execute(record), std::string("P") + '\x05');
    // A move beyond the travel stops at the limit.
    SimMachine free(c);
    std::string left = "A";
    left += std::string(1, '\x07') + std::string(3, '\x10') + std::string(3, '\x10') +
            std::string(6, '\0');
    free.execute(left);
    const auto end = std::chrono::steady_clock::now() + eventDeadline;
    while (free.snapshot().status & stateMoving && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto s = free.snapshot();
    EXPECT_FALSE(s.status & stateMoving);
    EXPECT_TRUE(s.limitHit);
    EXPECT_EQ(s.position[0], 0);
    EXPECT_EQ(s.position[1], 0);
}

} // namespace
} // namespace korvane::test
