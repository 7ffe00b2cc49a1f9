#include "MachineTestSupport.h"
#include "SimMachine.h"
#include "SimProcess.h"
#include "SimServer.h"

#include "machine/Ploter.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>

#include <regex>
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
        ASSERT_TRUE(connect());
    }
    bool connect() {
        ethernetLink->wakeWatchdog();
        return queueMainLoop().runUntil([] { return ethernetActive; }, std::chrono::seconds(3));
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
    EXPECT_EQ(SendCommand("Y"), 103);
    EXPECT_EQ(ethernetError, 103);
    EXPECT_TRUE(ethernetActive);
    EXPECT_TRUE(ui.messages.empty());

    server->dropConnections();
    EXPECT_EQ(SendCommand("Y"), 101);
    EXPECT_FALSE(ethernetActive);
    EXPECT_EQ(statusTexts.back(), txt("Control_panel", "ethernetRozlaczony"));
    ASSERT_TRUE(connect());
    EXPECT_EQ(SendCommand("Y"), 0);
    EXPECT_TRUE(ReadStatus());
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
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(SendCommand("Y"), 101);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
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
    ChildProcess sim({std::string(KORVANE_EXE_DIR) + "/korvane3d-sim", "--port", "0", "--info-port",
                      "0", "--control-port", "0", "--product", "KWA-2000", "--firmware", "6.40.1"});
    const std::string first = sim.readLine(std::chrono::seconds(5));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        first, m, std::regex("command port (\\d+), info port (\\d+), control port (\\d+)")))
        << first;
    asio::io_context io;
    asio::ip::tcp::socket control(io);
    control.connect(
        {asio::ip::make_address("127.0.0.1"), static_cast<std::uint16_t>(std::stoi(m[3]))});
    asio::write(control, asio::buffer(std::string("start\n")));
    asio::streambuf reply;
    asio::read_until(control, reply, '\n');
    EXPECT_EQ(std::string(asio::buffers_begin(reply.data()), asio::buffers_end(reply.data())),
              "ok\n");

    RecordingUserInterface ui;
    resetState(ui);
    loadTexts();
    resetMachine();
    ethernetLink = std::make_unique<TfEthernet>(
        "127.0.0.1", MachinePorts{static_cast<std::uint16_t>(std::stoi(m[1])),
                                  static_cast<std::uint16_t>(std::stoi(m[2]))});
    ethernetLink->wakeWatchdog();
    ASSERT_TRUE(queueMainLoop().runUntil([] { return ethernetActive; }, std::chrono::seconds(3)));
    EXPECT_EQ(plotstate.info1, "KWA-2000");
    EXPECT_EQ(fwMajor, 6);
    EXPECT_EQ(fwMinor, 40);
    ASSERT_TRUE(ReadStatus());
    EXPECT_TRUE(plotstate.StateExtend & stateStartButton);
    ASSERT_TRUE(ReadStatus());
    EXPECT_FALSE(plotstate.StateExtend & stateStartButton); // reported once
    resetMachine();
}

} // namespace
} // namespace korvane::test
