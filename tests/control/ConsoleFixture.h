#pragma once

#include "../machine/MachineTestSupport.h"
#include "MachineTrace.h"
#include "SimHidBackend.h"
#include "SimMachine.h"

#include "control/Tster.h"
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/TransmitArm.h"
#include "output/DaneWyjsciowe.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

// The machine console against the simulated machine: an output file of two
// hatching figures in the project's output folder, the XSE100 (300 steps per
// mm, work origin 50, 50 mm) behind the HID interface, every command the
// program wrote kept as a short token, and the executed moves in a trace.
namespace korvane::test {

// "Q", "K", "A" (a move), "F0" (slot 0), "R01" (spindle off, slot 1), "S0",
// "Sfw"; job records (lower-case letters) and "G" are left out.
inline std::string commandToken(const HidReport& r) {
    const char c = static_cast<char>(r[1]);
    switch (c) {
    case 'F':
        return "F" + std::to_string(r[2]);
    case 'R':
        return "R" + std::to_string(r[2]) + std::to_string(r[3]);
    case 'S':
        if (r[2] == 'f' && r[3] == 'w') return "Sfw";
        if (r[2] == 0) return "S0";
        return std::string("S") + static_cast<char>(r[2]) + static_cast<char>(r[3]);
    case 'G':
        return "";
    default:
        return (c >= 'a' && c <= 'z') ? "" : std::string(1, c);
    }
}

class TokenSimHid final : public HidBackend {
  public:
    TokenSimHid(std::shared_ptr<sim::SimMachine> machine, std::vector<std::string>* sent)
        : inner_(std::move(machine)), sent_(sent) {}
    std::vector<HidDeviceInfo> enumerate() override { return inner_.enumerate(); }
    int open(const std::string& id) override { return inner_.open(id); }
    int writeReport(const std::string& id, const HidReport& report) override {
        if (std::string t = commandToken(report); !t.empty()) sent_->push_back(t);
        return inner_.writeReport(id, report);
    }
    int getIndexedString(const std::string& id, int index, HidBlock& block) override {
        return inner_.getIndexedString(id, index, block);
    }
    void setDeviceChangeHandler(std::function<void()> handler) override {
        inner_.setDeviceChangeHandler(std::move(handler));
    }

  private:
    sim::SimHidBackend inner_;
    std::vector<std::string>* sent_;
};

struct PlanPoint {
    long long x, y; // steps
};

class ConsoleOnSim : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        loadTexts();
        resetMachine();
        jobLogOn = false;
        dataFolder = dir.path();
        outputFolderName = "Out";
        std::filesystem::create_directories(dir / "Out");
        FigureList figures;
        figures.push_back(figure({{10, 10}, {30, 10}, {30, 14}, {10, 14}, {10, 18}, {30, 18}}));
        figures.push_back(figure({{40, 40}, {60, 40}, {60, 44}, {40, 44}, {40, 48}}));
        writeOutputFile(dir / "Out" / "Cut.out", opHatching, figures);
        operation.nazwa = "Cut";
        operation.idTyp = opHatching;
        operation.szybkosc = 1000;
        operation.szybkoscPrzestawcza = 3000;
        operation.posuwWiercenia = 300;
        operation.obroty = 18000;
        showStatusText = [this](const std::string& text) { statusText = text; };
    }
    void TearDown() override {
        transArm.stop();
        resetMachine();
    }

    static std::unique_ptr<tFigura> figure(std::vector<std::pair<float, float>> xy) {
        auto f = std::make_unique<tFigura>();
        for (auto [x, y] : xy) f->poz.push_back({x, y, -1});
        f->przestawczyZ = 2;
        return f;
    }

    // The machine on USB, identified and read as the panel's activation reads it.
    void connectUsb(double timeScale = 20) {
        sim::SimConfig c;
        c.product = "XSE100";
        c.timeScale = timeScale;
        c.trace = dir / "trace.txt";
        machine = std::make_shared<sim::SimMachine>(c);
        usbLink = std::make_unique<TfUsb>(std::make_unique<TokenSimHid>(machine, &sent));
        identify();
    }
    void identify() {
        ReadStatus();
        ReadMachineInfo();
        IdentifyMachine();
        ReadPositions();
        ReadWorkOrigin();
        safeHeight = 10;
    }

    // Heartbeats until `done` holds; false after the deadline.
    bool runUntil(const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + eventDeadline;
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            panel.Timer1Timer(false);
            queueMainLoop().drain();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    bool runToEnd() {
        return runUntil([] { return !transArm.isOpen() && !jobRunning; });
    }

    // The plan positions (steps) the job's moves reached, in order.
    std::vector<TracePoint> jobMoves() {
        machine->flushTrace();
        return readJobMoves(dir / "trace.txt");
    }
    // A point of the output file in steps: 300 per mm from the origin at 50 mm.
    static PlanPoint at(double x, double y) {
        return {std::llround((x + 50) * 300), std::llround((y + 50) * 300)};
    }
    // The index of the first move at or after `from` that reaches `p`, or -1.
    static long find(const std::vector<TracePoint>& moves, PlanPoint p, long from) {
        for (long i = from; i < static_cast<long>(moves.size()); ++i)
            if (moves[i].x == p.x && moves[i].y == p.y) return i;
        return -1;
    }
    // Every point of the output, in the order of the file, among the moves.
    static bool visitsInOrder(const std::vector<TracePoint>& moves,
                              const std::vector<PlanPoint>& points) {
        long from = 0;
        for (const PlanPoint& p : points) {
            from = find(moves, p, from);
            if (from < 0) return false;
        }
        return true;
    }
    static std::vector<PlanPoint> allPoints() {
        return {at(10, 10), at(30, 10), at(30, 14), at(10, 14), at(10, 18), at(30, 18),
                at(40, 40), at(60, 40), at(60, 44), at(40, 44), at(40, 48)};
    }
    std::vector<std::string> sentSince(std::size_t from) const {
        return {sent.begin() + static_cast<long>(from), sent.end()};
    }

    RecordingUserInterface ui;
    TempDir dir;
    TOperacjaDane operation;
    std::shared_ptr<sim::SimMachine> machine;
    std::vector<std::string> sent;
    std::string statusText;
    Tster panel;
};

} // namespace korvane::test
