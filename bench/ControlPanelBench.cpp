// The control panel's heartbeat against the simulated machine, in process
// behind the USB link and over TCP on the loopback: ticks
// per second of the active panel (every status and value read) and of the
// inactive one, the longest single tick (the longest the window's thread is
// held by the machine in a tick), and one status read as the baseline.
#include "SimHidBackend.h"
#include "SimMachine.h"
#include "SimServer.h"

#include "control/Tster.h"
#include "machine/Ethernet.h"
#include "machine/HidBackend.h"
#include "machine/Identification.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/Usb.h"
#include "platform/MainLoop.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

using namespace korvane;

namespace {

void connectSimulator() {
    auto machine = std::make_shared<sim::SimMachine>(sim::SimConfig{});
    usbLink = std::make_unique<TfUsb>(std::make_unique<sim::SimHidBackend>(machine));
    ReadMachineInfo();
    IdentifyMachine();
}

void PanelTick(benchmark::State& state) {
    connectSimulator();
    Tster panel;
    const bool active = state.range(0) != 0;
    panel.FormActivate();
    double worst = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        panel.Timer1Timer(active);
        worst = std::max(worst, std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
    }
    state.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["worst_ms"] = worst;
    usbLink.reset();
}
BENCHMARK(PanelTick)->Arg(1)->Arg(0)->UseRealTime();

// The panel over Ethernet: every read is a TCP exchange with the simulator.
void PanelTickEthernet(benchmark::State& state) {
    auto machine = std::make_shared<sim::SimMachine>(sim::SimConfig{});
    sim::SimServer server(machine, sim::SimPorts{0, 0, 0, false});
    // The panel needs a USB link object even when Ethernet carries the commands.
    struct NoHid final : HidBackend {
        std::vector<HidDeviceInfo> enumerate() override { return {}; }
        int open(const std::string&) override { return hidErrorNotConnected; }
        int writeReport(const std::string&, const HidReport&) override {
            return hidErrorNotConnected;
        }
        int getIndexedString(const std::string&, int, HidBlock&) override {
            return hidErrorNotConnected;
        }
        void setDeviceChangeHandler(std::function<void()>) override {}
    };
    usbLink = std::make_unique<TfUsb>(std::make_unique<NoHid>());
    ethernetLink = std::make_unique<TfEthernet>(
        "127.0.0.1", MachinePorts{server.commandPort(), server.infoPort()});
    ethernetLink->wakeWatchdog();
    queueMainLoop().runUntil([] { return ethernetActive; }, std::chrono::seconds(5));
    IdentifyMachine();
    Tster panel;
    panel.FormActivate();
    double worst = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        panel.Timer1Timer(true);
        worst = std::max(worst, std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
    }
    state.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["worst_ms"] = worst;
    ethernetLink.reset();
    usbLink.reset();
    ethernetActive = false;
}
BENCHMARK(PanelTickEthernet)->UseRealTime();

void StatusReadBaseline(benchmark::State& state) {
    connectSimulator();
    for (auto _ : state) ReadStatus();
    usbLink.reset();
}
BENCHMARK(StatusReadBaseline)->UseRealTime();

} // namespace
