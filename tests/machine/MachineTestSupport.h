#pragma once

#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "machine/Ethernet.h"
#include "machine/HidBackend.h"
#include "machine/Identification.h"
#include "machine/MachineModels.h"
#include "machine/MachineState.h"
#include "machine/RecordLengths.h"
#include "machine/Usb.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// Helpers of the machine-link tests: a clean machine state and a scripted HID
// device.
namespace korvane::test {

inline std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

// How long a test waits for an event of the machine side before it fails:
// generous, for a loaded machine and the sanitizers; never reached when the
// event comes.
inline constexpr std::chrono::seconds eventDeadline{60};

// The machine link as at start: no links, row 0, generous deadlines.
inline void resetMachine() {
    ethernetLink.reset();
    usbLink.reset();
    plotstate = tplotstate{};
    ethernetActive = false;
    ethernetError = 0;
    fwMajor = fwMinor = fwBuild = 0;
    extendedStatus = false;
    modelVariant = false;
    alternativeRamp = false;
    sharpCornerAngle = 165;
    safeHeight = 10.0;
    jobRunning = jobPaused = false;
    machineWaitLimit = eventDeadline;
    exchangeTimeout = eventDeadline;
    plotstate.info1 = defaultProductString;
    IdentifyMachine();
    transferMargin = 5.0;
}

// A HID device whose replies the test sets per index; it records every report.
class ScriptedHid final : public HidBackend {
  public:
    struct State {
        std::vector<HidDeviceInfo> devices{{"dev1", "Vardimon", "XKC-3020", "SN1", true}};
        std::vector<HidReport> reports;
        std::map<int, std::vector<HidBlock>> replies; // consumed front first; the last one stays
        std::map<int, int> readCounts;
        int writeError = 0;
        // Results of the next writes, front first, before writeError applies; a
        // busy device (hidErrorNotFunctioning) has taken its report all the same.
        std::vector<int> writeResults;
        int readError = 0;
        std::function<void()> changed;
        std::function<void(const HidReport&)> written; // called for every report taken
    };

    explicit ScriptedHid(std::shared_ptr<State> state) : s_(std::move(state)) {}
    std::vector<HidDeviceInfo> enumerate() override { return s_->devices; }
    int open(const std::string&) override { return 0; }
    int writeReport(const std::string&, const HidReport& report) override {
        if (!s_->writeResults.empty()) {
            const int result = s_->writeResults.front();
            s_->writeResults.erase(s_->writeResults.begin());
            if (result == 0 || result == hidErrorNotFunctioning) s_->reports.push_back(report);
            return result;
        }
        if (s_->writeError) return s_->writeError;
        s_->reports.push_back(report);
        if (s_->written) s_->written(report);
        return 0;
    }
    int getIndexedString(const std::string&, int index, HidBlock& block) override {
        ++s_->readCounts[index];
        if (s_->readError) return s_->readError;
        auto& queue = s_->replies[index];
        if (queue.empty()) {
            block.fill(0);
            return 0;
        }
        block = queue.front();
        if (queue.size() > 1) queue.erase(queue.begin());
        return 0;
    }
    void setDeviceChangeHandler(std::function<void()> handler) override { s_->changed = handler; }

  private:
    std::shared_ptr<State> s_;
};

// A block with `values` (offset, bytes) placed little-endian.
inline HidBlock block(std::initializer_list<std::pair<std::size_t, std::string>> parts) {
    HidBlock b{};
    for (const auto& [at, data] : parts)
        for (std::size_t i = 0; i < data.size(); ++i)
            b[at + i] = static_cast<std::uint8_t>(data[i]);
    return b;
}

inline std::string le32(long long v) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((static_cast<unsigned long long>(v) >> (8 * i)) & 0xFF));
    return s;
}

inline std::string le16(long long v) {
    return bytes({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF)});
}

// A test against a scripted USB machine: the program state as at start and the
// machine link to `hid`, nothing sent yet.
class ScriptedMachineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        loadTexts();
        resetMachine();
        usbLink = std::make_unique<TfUsb>(std::make_unique<ScriptedHid>(hid));
        hid->reports.clear();
    }
    void TearDown() override { resetMachine(); }

    RecordingUserInterface ui;
    std::shared_ptr<ScriptedHid::State> hid = std::make_shared<ScriptedHid::State>();
};

// The links as at start with the machine on the network at `ports`: the USB
// link there with no machine on it, the network link not yet woken.
inline void networkMachineLinks(MachinePorts ports) {
    auto none = std::make_shared<ScriptedHid::State>();
    none->devices.clear();
    usbLink = std::make_unique<TfUsb>(std::make_unique<ScriptedHid>(none));
    ethernetLink = std::make_unique<TfEthernet>("127.0.0.1", ports);
}

// Wakes the network link and turns the main loop until it is up; false after
// the deadline.
inline bool connectNetworkLink() {
    ethernetLink->wakeWatchdog();
    return queueMainLoop().runUntil([] { return ethernetActive; }, eventDeadline);
}

// The command bytes of a report: bytes 1 to 16.
inline std::string reportCommand(const HidReport& r, std::size_t length) {
    return std::string(reinterpret_cast<const char*>(r.data() + 1), length);
}

} // namespace korvane::test
