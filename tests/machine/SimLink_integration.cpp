#include "MachineTestSupport.h"
#include "SimHidBackend.h"
#include "SimMachine.h"
#include "SimServer.h"

#include "machine/Encoding.h"
#include "machine/Ploter.h"
#include "platform/MainLoop.h"

#include <asio.hpp>

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
    // A move beyond the travel stops at the limit (here right at the zero).
    c.overtravel = 0;
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

TEST_F(SimUsb, ModelVariantSelectsTheMachinesOwnRow) {
    // "XLA-1000" is the plain heavy router (5 steps per 0.01 mm); "XLA HD" its
    // HD variant (10). The simulated machine is built as the program reads it:
    // its work origin of 50 mm reads back as 50 mm.
    for (const auto& [product, steps] :
         {std::pair<const char*, double>{"XLA-1000", 5}, {"XLA HD-2", 10}}) {
        SimConfig c;
        c.product = product;
        start(c);
        EXPECT_EQ(modelCode, "XLA");
        EXPECT_DOUBLE_EQ(machineParams.stepsX, steps) << product;
        ReadWorkOrigin();
        EXPECT_NEAR(plotstate.pos0.x, 5000, 0.5) << product;
        EXPECT_NEAR(plotstate.pos0.z, 10000, 0.5) << product;
    }
}

// The simulated machine on both sides at once: the program's USB link in
// process and the simulator's control port over TCP.
class SimMachineAbilities : public SimUsb {
  protected:
    void start(SimConfig config) {
        SimUsb::start(config);
        server = std::make_unique<sim::SimServer>(machine, sim::SimPorts{0, 0, 0, true});
    }
    void startKeepingTime(SimConfig config) {
        machine = std::make_shared<SimMachine>(config);
        auto backend = std::make_unique<SimHidBackend>(machine);
        hid = backend.get();
        usbLink = std::make_unique<TfUsb>(std::move(backend));
        ReadMachineInfo();
        IdentifyMachine();
        server = std::make_unique<sim::SimServer>(machine, sim::SimPorts{0, 0, 0, true});
    }
    // One line to the control port and its reply.
    std::string control(const std::string& line) {
        asio::io_context io;
        asio::ip::tcp::socket socket(io);
        socket.connect({asio::ip::make_address("127.0.0.1"), server->controlPort()});
        asio::write(socket, asio::buffer(line + "\n"));
        asio::streambuf reply;
        asio::read_until(socket, reply, '\n');
        std::string text(asio::buffers_begin(reply.data()), asio::buffers_end(reply.data()));
        text.pop_back();
        return text;
    }
    // A job of `count` pauses of 255 ms, told to run.
    void runPauses(int count) {
        for (int i = 0; i < count; ++i) ASSERT_EQ(SendCommand(bytes({'p', 255})), 0);
        ASSERT_EQ(SendCommand("G"), 0);
        ASSERT_TRUE(ReadStatus());
        ASSERT_TRUE(plotstate.state & stateJobRunning);
    }
    void TearDown() override {
        server.reset();
        SimUsb::TearDown();
    }
    std::unique_ptr<sim::SimServer> server;
};

TEST_F(SimMachineAbilities, HeadTemperaturesSetJumpAndFollow) {
    SimConfig c;
    c.product = "GPR-0100";
    c.heatingRate = 0; // the head stays where it is put
    start(c);
    std::string s3t = "S3t";
    appendFloat32(s3t, 215);
    appendFloat32(s3t, 80);
    ASSERT_EQ(SendCommand(PadCommand16(s3t)), 0);
    ReadHeadTemperatures();
    EXPECT_FLOAT_EQ(headTemperatureRead[0], 215); // set
    EXPECT_FLOAT_EQ(headTemperatureRead[1], 20);  // the head, cold
    EXPECT_EQ(control("temperature 236"), "ok");  // a jump of the head's reading
    ReadHeadTemperatures();
    EXPECT_FLOAT_EQ(headTemperatureRead[1], 236);
    EXPECT_EQ(control("temperature hot"), "error: temperature needs degrees");

    // A heating head reaches its set temperature and stays there.
    SimConfig heating;
    heating.product = "GPR-0100";
    heating.heatingRate = 50;
    start(heating);
    ASSERT_EQ(SendCommand(PadCommand16(s3t)), 0);
    const auto until = std::chrono::steady_clock::now() + eventDeadline;
    do {
        ReadHeadTemperatures();
    } while (headTemperatureRead[1] < 215 && std::chrono::steady_clock::now() < until);
    EXPECT_FLOAT_EQ(headTemperatureRead[1], 215);
    EXPECT_NE(control("status").find(" head 215/215"), std::string::npos) << control("status");
}

TEST_F(SimMachineAbilities, MachineInterruptsItsJobAndContinues) {
    SimConfig c;
    c.timeScale = 1;
    startKeepingTime(c);
    runPauses(30);
    EXPECT_EQ(control("interrupt"), "ok");
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(plotstate.state & (stateJobRunning | stateJobStored | stateJobInterrupted),
              stateJobStored | stateJobInterrupted);
    ASSERT_EQ(SendCommand("K"), 0);
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(plotstate.state & (stateJobRunning | stateJobStored | stateJobInterrupted),
              stateJobRunning | stateJobStored);
}

TEST_F(SimMachineAbilities, ButtonsPressedDuringAJobStayUntilTheProgramSeesThem) {
    SimConfig c;
    c.timeScale = 1;
    startKeepingTime(c);
    runPauses(30);
    // The transmission's status read and the panel's in the same timer tick
    // both see the stop button; the job runs on until the program pauses it.
    EXPECT_EQ(control("stop"), "ok");
    for (int read = 0; read < 4; ++read) {
        ASSERT_TRUE(ReadStatus());
        EXPECT_TRUE(plotstate.StateExtend & stateStopButton) << read;
        EXPECT_TRUE(plotstate.state & stateJobRunning) << read;
    }
    ASSERT_TRUE(ReadStatus());
    EXPECT_FALSE(plotstate.StateExtend & stateStopButton); // released
    EXPECT_EQ(control("start"), "ok");
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(plotstate.StateExtend & (stateStartButton | stateStopButton), stateStartButton);
    EXPECT_TRUE(plotstate.state & stateJobRunning);
}

TEST_F(SimMachineAbilities, SpindleComesUpToSpeedBeforeAnythingMoves) {
    SimConfig c;
    c.timeScale = 1;
    c.spinUpSeconds = 3;
    startKeepingTime(c);
    ASSERT_EQ(SendCommand(bytes({'R', 1, 1})), 0);
    ASSERT_EQ(SendCommand("Sfw"), 0);
    ASSERT_TRUE(ReadStatus());
    EXPECT_TRUE(plotstate.state & stateMoving); // waiting for the spindle
    EXPECT_FALSE(machine->snapshot().spindleAtSpeed);
    EXPECT_NE(control("status").find(" spindle spinning-up"), std::string::npos);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(machine->snapshot().spindleAtSpeed);
    EXPECT_NE(control("status").find(" spindle at-speed"), std::string::npos);
    // Up to speed, a further wait holds nothing.
    ASSERT_EQ(SendCommand("Sfw"), 0);
    ASSERT_TRUE(ReadStatus());
    EXPECT_FALSE(plotstate.state & stateMoving);
}

} // namespace
} // namespace korvane::test
