#include "MachineTestSupport.h"
#include "RunProgram.h"
#include "SimMachine.h"
#include "SimServer.h"
#include "SimulatorProgram.h"

#include "machine/Encoding.h"
#include "machine/LinkErrors.h"
#include "machine/Ploter.h"
#include "platform/MainLoop.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <thread>

namespace korvane::test {
namespace {

using sim::SimConfig;
using sim::SimMachine;
using sim::SimServer;

// The program's Ethernet link against the simulator's server on free loopback ports.
class EthernetLink : public ::testing::Test {
  protected:
    void start(SimConfig config) {
        config.timeScale = 200;
        machine = std::make_shared<SimMachine>(config);
        server = std::make_unique<SimServer>(machine, sim::SimPorts{0, 0, 0, false});
        ethernetLink = std::make_unique<TfEthernet>(
            "127.0.0.1", MachinePorts{server->commandPort(), server->infoPort()});
        ASSERT_TRUE(connectNetworkLink());
    }
    void SetUp() override {
        resetState(ui);
        loadTexts();
        resetMachine();
        showStatusText = [this](const std::string& text) { statusTexts.push_back(text); };
    }
    void TearDown() override {
        resetMachine();
        server.reset();
        showStatusText = [](const std::string&) {};
    }

    RecordingUserInterface ui;
    std::vector<std::string> statusTexts;
    std::shared_ptr<SimMachine> machine;
    std::unique_ptr<SimServer> server;
};

TEST_F(EthernetLink, ConnectsReadsInformationAndStatus) {
    SimConfig c;
    c.product = "GMN-0001";
    c.serial = "SN000042";
    c.fwMajor = 7;
    c.fwMinor = 12;
    start(c);
    EXPECT_EQ(plotstate.info0, "VARDIMON");
    EXPECT_EQ(plotstate.info1, "GMN-0001");
    EXPECT_EQ(plotstate.info2, "SN000042");
    EXPECT_EQ(fwMajor, 7);
    EXPECT_EQ(fwMinor, 12);
    ASSERT_EQ(statusTexts.size(), 1u);
    EXPECT_EQ(statusTexts[0], txt("Control_panel", "ethernetPolaczony"));
    IdentifyMachine();
    EXPECT_EQ(modelCode, "GMN");

    plotstate.pos0 = {4000, 3000, 9000};
    SetWorkOriginXY();
    SetWorkOriginZ();
    ASSERT_TRUE(ReadStatus());
    EXPECT_NEAR(plotstate.pos0.x, 4000, 1); // from firmware 7 the origin sits 8 bytes later
    EXPECT_NEAR(plotstate.pos0.z, 9000, 1);
    safeHeight = 20;
    ASSERT_TRUE(MoveToPoint(2, 10, 15));
    const auto s = machine->snapshot();
    EXPECT_NEAR(s.position[0], (1500 + 4000) * machineParams.stepsX, 1.5);
    EXPECT_NEAR(s.position[2], (200 - 9000) * machineParams.stepsZ, 1.5);
    ASSERT_TRUE(ReadStatus());
    EXPECT_NEAR(plotstate.abspos.y, 4000, 1);
}

TEST_F(EthernetLink, EchoErrorsDropsAndReconnection) {
    start(SimConfig{});
    EXPECT_EQ(SendCommand(bytes({'p', 5})), 0); // a job record echoed with "P"
    machine->setFaults([](sim::SimFaults& f) { f.wrongEchoIn = 0; });
    EXPECT_EQ(SendCommand("Y"), ethernetEchoDiffers);
    EXPECT_EQ(ethernetError, ethernetEchoDiffers);
    EXPECT_TRUE(ethernetActive);
    EXPECT_TRUE(ui.messages.empty());

    server->dropConnections();
    EXPECT_EQ(SendCommand("Y"), ethernetNoEcho);
    EXPECT_FALSE(ethernetActive);
    EXPECT_EQ(statusTexts.back(), txt("Control_panel", "ethernetRozlaczony"));
    ASSERT_TRUE(connectNetworkLink());
    EXPECT_EQ(SendCommand("Y"), 0);
    EXPECT_TRUE(ReadStatus());

    // The connection drops before the status block leaves the machine.
    EXPECT_EQ(server->control("drop-echo 0"), "ok");
    EXPECT_FALSE(ReadStatus());
    EXPECT_EQ(ethernetError, ethernetStatusFailed);
    EXPECT_FALSE(ethernetActive);
}

TEST_F(EthernetLink, LongEchoIsAnErrorAndItsSurplusIsDrained) {
    SimConfig c;
    c.fwMajor = 6;
    c.fwMinor = 12;
    start(c);
    IdentifyMachine();
    plotstate.pos0 = {4000, 3000, 9000};
    SetWorkOriginXY();
    SetWorkOriginZ();
    // The echo of the next command carries three bytes more than the command.
    EXPECT_EQ(server->control("long-echo 0"), "ok");
    EXPECT_EQ(SendCommand("Y"), ethernetEchoLength);
    EXPECT_EQ(ethernetError, ethernetEchoLength);
    EXPECT_TRUE(ethernetActive);
    // The surplus is gone: the following exchanges read their own bytes.
    EXPECT_EQ(SendCommand(bytes({'F', 1})), 0);
    plotstate.pos0 = {};
    ASSERT_TRUE(ReadStatus());
    EXPECT_NEAR(plotstate.pos0.x, 4000, 1);
    EXPECT_NEAR(plotstate.pos0.y, 3000, 1);
    EXPECT_NEAR(plotstate.pos0.z, 9000, 1);
    EXPECT_EQ(plotstate.sel_speed, 1);
    EXPECT_EQ(SendCommand("Y"), 0);
}

TEST_F(EthernetLink, InformationWithoutAnswerResetsTheFirmware) {
    start(SimConfig{});
    // An information port that takes the connection and closes it unanswered.
    asio::io_context io;
    asio::ip::tcp::acceptor silent(io, {asio::ip::make_address("127.0.0.1"), 0});
    std::thread accept([&] {
        asio::ip::tcp::socket peer(io);
        silent.accept(peer);
        std::array<char, 4> request{};
        std::error_code error;
        asio::read(peer, asio::buffer(request), error);
    });
    TfEthernet link("127.0.0.1",
                    MachinePorts{server->commandPort(), silent.local_endpoint().port()});
    plotstate.info1 = "GMN-0001";
    fwMajor = 7;
    fwMinor = 12;
    fwBuild = 3;
    ethernetError = 0;
    link.getInfo();
    accept.join();
    EXPECT_EQ(ethernetError, ethernetNoInformation);
    EXPECT_EQ(fwMajor, 0);
    EXPECT_EQ(fwMinor, 0);
    EXPECT_EQ(fwBuild, 3); // this exchange never sets the build
    EXPECT_EQ(plotstate.info1, "GMN-0001");

    // No information port at all.
    const auto closedPort = silent.local_endpoint().port();
    silent.close();
    TfEthernet unreachable("127.0.0.1", MachinePorts{server->commandPort(), closedPort});
    fwMajor = 6;
    fwMinor = 40;
    ethernetError = 0;
    unreachable.getInfo();
    EXPECT_EQ(ethernetError, ethernetNoInformation);
    EXPECT_EQ(fwMajor, 0);
    EXPECT_EQ(fwMinor, 0);
}

TEST_F(EthernetLink, SimulatorAbilitiesOverTheNetwork) {
    // The plain heavy router, not its HD variant: the work origin of 50 mm
    // reads back as 50 mm from the status block.
    SimConfig c;
    c.product = "XLA-1000";
    c.timeScale = 1;
    c.spinUpSeconds = 3;
    c.heatingRate = 0;
    machine = std::make_shared<SimMachine>(c);
    server = std::make_unique<SimServer>(machine, sim::SimPorts{0, 0, 0, false});
    ethernetLink = std::make_unique<TfEthernet>(
        "127.0.0.1", MachinePorts{server->commandPort(), server->infoPort()});
    ASSERT_TRUE(connectNetworkLink());
    IdentifyMachine();
    EXPECT_DOUBLE_EQ(machineParams.stepsX, 5);
    ASSERT_TRUE(ReadStatus());
    EXPECT_FLOAT_EQ(plotstate.pos0.x, 5000);

    // The head's set temperatures over the command link; a jump from the control side.
    std::string s3t = "S3t";
    appendFloat32(s3t, 210);
    appendFloat32(s3t, 75);
    EXPECT_EQ(SendCommand(PadCommand16(s3t)), 0);
    EXPECT_EQ(server->control("temperature 189.5"), "ok");
    EXPECT_NE(server->control("status").find(" head 189.5/210"), std::string::npos)
        << server->control("status");

    // Waiting for the spindle holds the axes.
    EXPECT_EQ(SendCommand(bytes({'R', 1, 1})), 0);
    EXPECT_EQ(SendCommand("Sfw"), 0);
    ASSERT_TRUE(ReadStatus());
    EXPECT_TRUE(plotstate.state & stateMoving);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(machine->snapshot().spindleAtSpeed);

    // A job the machine interrupts itself, then continued.
    for (int i = 0; i < 30; ++i) EXPECT_EQ(SendCommand(bytes({'p', 255})), 0);
    EXPECT_EQ(SendCommand("G"), 0);
    EXPECT_EQ(server->control("stop"), "ok"); // pressed during the job
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(plotstate.StateExtend & (stateStopButton | stateJobRunning),
              stateStopButton | stateJobRunning);
    EXPECT_EQ(server->control("interrupt"), "ok");
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(plotstate.state & (stateJobRunning | stateJobStored | stateJobInterrupted),
              stateJobStored | stateJobInterrupted);
    EXPECT_EQ(SendCommand("K"), 0);
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(plotstate.state & (stateJobRunning | stateJobInterrupted), stateJobRunning);
}

TEST_F(EthernetLink, SilentMachineEndsAtTheDeadline) {
    asio::io_context io;
    asio::ip::tcp::acceptor acceptor(io, {asio::ip::make_address("127.0.0.1"), 0});
    asio::ip::tcp::socket peer(io);
    std::thread accept([&] { acceptor.accept(peer); });
    exchangeTimeout = std::chrono::milliseconds(300);
    ethernetLink = std::make_unique<TfEthernet>("127.0.0.1",
                                                MachinePorts{acceptor.local_endpoint().port(), 1});
    ASSERT_TRUE(ethernetLink->connect());
    accept.join();
    queueMainLoop().drain(); // the connect event; the information read fails quietly
    ASSERT_TRUE(ethernetActive);
    EXPECT_EQ(SendCommand("Y"), ethernetNoEcho);
    EXPECT_FALSE(ethernetActive);
    EXPECT_FALSE(ReadStatus());
}

TEST(MachinePortsOption, CommandAndInformationPorts) {
    RecordingUserInterface ui;
    resetState(ui, {"machinePorts='4567,4568'"});
    EXPECT_EQ(machinePortsOption().command, 4567);
    EXPECT_EQ(machinePortsOption().info, 4568);
    resetState(ui, {"machinePorts=4567"});
    EXPECT_EQ(machinePortsOption().command, 9999);
    resetState(ui, {"machinePorts='70000,80'"});
    EXPECT_EQ(machinePortsOption().info, 80);
    resetState(ui);
    EXPECT_EQ(machinePortsOption().command, 9999);
    EXPECT_EQ(machinePortsOption().info, 80);
}

TEST(SimulatorProgram, ServesItsPortsAndControl) {
    SimulatorProgram sim({"--product", "KWA-2000", "--firmware", "6.40.1"});
    ASSERT_NE(sim.ports.command, 0);
    EXPECT_EQ(sim.ask("start"), "ok");

    RecordingUserInterface ui;
    resetState(ui);
    loadTexts();
    resetMachine();
    ethernetLink = std::make_unique<TfEthernet>("127.0.0.1", sim.ports);
    ASSERT_TRUE(connectNetworkLink());
    EXPECT_EQ(plotstate.info1, "KWA-2000");
    EXPECT_EQ(fwMajor, 6);
    EXPECT_EQ(fwMinor, 40);
    // A press is reported by the next four status replies, then released.
    for (int read = 0; read < 4; ++read) {
        ASSERT_TRUE(ReadStatus());
        EXPECT_TRUE(plotstate.StateExtend & stateStartButton) << read;
    }
    ASSERT_TRUE(ReadStatus());
    EXPECT_FALSE(plotstate.StateExtend & stateStartButton);
    resetMachine();
}

TEST(SimulatorProgram, FirmwareOptionForms) {
    const ProgramResult bad =
        runBuiltProgram("korvane3d-sim", {"--port", "0", "--firmware", "5.9x"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("bad value for --firmware: 5.9x"), std::string::npos) << bad.err;
    // The information block has one digit for the major version and two for the minor.
    EXPECT_EQ(runBuiltProgram("korvane3d-sim", {"--firmware", "10.1"}).exitCode, 2);
    EXPECT_EQ(runBuiltProgram("korvane3d-sim", {"--firmware", "9.100"}).exitCode, 2);
}

TEST(SimulatorProgram, HungProgramFailsItsTestWithItsStandardError) {
    // The simulator runs until it is stopped: as a program expected to end, it
    // fails the test at the deadline instead of holding it.
    EXPECT_NONFATAL_FAILURE(
        runBuiltProgram("korvane3d-sim", {"--port", "0", "--info-port", "0"},
                        std::chrono::seconds(1)),
        "korvane3d-sim did not end within 1 s and was stopped; its standard error:");
}

} // namespace
} // namespace korvane::test
