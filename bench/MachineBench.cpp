// The machine link: speed limits of a 50 000-point figure with the program's
// ramp lookup against the linear ramp scan (same figure, same run, results
// checked equal), and streaming 100 000 job records to the simulator over
// loopback TCP (records per second, against the 5000 per second that the
// control panel's 10 ms timer allows).
#include "SimMachine.h"
#include "SimServer.h"

#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/Ethernet.h"
#include "machine/Identification.h"
#include "machine/MachineModels.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/SpeedLimits.h"
#include "machine/TransmitArm.h"
#include "machine/Usb.h"
#include "platform/MainLoop.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <random>
#include <unistd.h>

using namespace korvane;

namespace {

// A smooth, winding 3D path of 50 000 points 0.2 mm apart, on a machine with
// the new speed encoding.
const std::vector<TrPkt3D>& winding() {
    static const std::vector<TrPkt3D> points = [] {
        plotstate.info1 = "KWA-2000";
        fwMajor = 6;
        fwMinor = 40;
        IdentifyMachine();
        std::vector<TrPkt3D> p;
        std::mt19937 random(3);
        std::uniform_real_distribution<double> bend(-0.02, 0.02);
        double x = 10, y = 10, heading = 0;
        for (int i = 0; i < 50000; ++i) {
            heading += bend(random);
            x += 0.2 * std::cos(heading);
            y += 0.2 * std::sin(heading);
            p.push_back({static_cast<float>(x), static_cast<float>(y),
                         static_cast<float>(-1 - 0.5 * std::sin(i / 500.0))});
        }
        if (ComputeSpeedLimits(p, 0, false) != ComputeSpeedLimitsLinear(p, 0, false)) std::abort();
        return p;
    }();
    return points;
}

void SpeedLimitsLookup(benchmark::State& state) {
    const auto& p = winding();
    for (auto _ : state) benchmark::DoNotOptimize(ComputeSpeedLimits(p, 0, false));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(p.size()));
}
BENCHMARK(SpeedLimitsLookup)->Unit(benchmark::kMillisecond);

void SpeedLimitsLinearScan(benchmark::State& state) {
    const auto& p = winding();
    for (auto _ : state) benchmark::DoNotOptimize(ComputeSpeedLimitsLinear(p, 0, false));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(p.size()));
}
BENCHMARK(SpeedLimitsLinearScan)->Unit(benchmark::kMillisecond);

// 100 000 short moves back and forth, as the job file holds them.
std::filesystem::path jobOf100000() {
    static const std::filesystem::path file = [] {
        const auto path = std::filesystem::temp_directory_path() /
                          ("korvane-bench-" + std::to_string(getpid()) + ".bin");
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 100000; ++i) {
            std::string a = "a";
            appendByte(a, i % 2 ? 7 : 6);
            appendLE24(a, 30);
            appendLE24(a, 10);
            appendLE24(a, 0);
            appendLE24(a, 0);
            out << a;
        }
        return path;
    }();
    return file;
}

void StreamToSimulatorOverTcp(benchmark::State& state) {
    // The transmission writes its machining log into the data folder: give it
    // one of its own, removed afterwards.
    dataFolder = std::filesystem::temp_directory_path() /
                 ("korvane-bench-machine-" + std::to_string(getpid()));
    std::filesystem::create_directories(dataFolder);
    sim::SimConfig config;
    config.timeScale = 1e6; // the machine keeps up; the link is measured
    auto machine = std::make_shared<sim::SimMachine>(config);
    sim::SimServer server(machine, sim::SimPorts{0, 0, 0, false});
    plotstate.info1 = config.product;
    fwMajor = 5;
    fwMinor = 9;
    IdentifyMachine();
    usbLink.reset();
    ethernetLink = std::make_unique<TfEthernet>(
        "127.0.0.1", MachinePorts{server.commandPort(), server.infoPort()});
    ethernetLink->wakeWatchdog();
    queueMainLoop().runUntil([] { return ethernetActive; }, std::chrono::seconds(5));
    // The transmission needs a USB link object even when Ethernet carries the
    // records; an empty HID backend stands for the machine's absent cable.
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
    long long records = 0;
    for (auto _ : state) {
        transArm.start(TOperacjaDane{}, jobOf100000(), "");
        while (transArm.isOpen()) transArm.tick();
        records += transArm.licznik();
        state.PauseTiming();
        SendCommand("Q");
        SendCommand("C");
        state.ResumeTiming();
    }
    state.counters["records_per_s"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
    state.counters["ratio_to_5000"] =
        benchmark::Counter(static_cast<double>(records) / 5000, benchmark::Counter::kIsRate);
    ethernetLink.reset();
    usbLink.reset();
    std::filesystem::remove(jobOf100000());
    std::filesystem::remove_all(dataFolder);
    dataFolder.clear();
}
BENCHMARK(StreamToSimulatorOverTcp)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
