#pragma once

#include "SimMachine.h"
#include "machine/HidBackend.h"

#include <atomic>
#include <memory>
#include <mutex>

// The simulated machine behind the HID interface, in process: what the USB
// link writes goes to the machine, its indexed reads come from it.
namespace korvane::sim {

class SimHidBackend final : public HidBackend {
  public:
    explicit SimHidBackend(std::shared_ptr<SimMachine> machine);

    std::vector<HidDeviceInfo> enumerate() override;
    int open(const std::string& id) override;
    int writeReport(const std::string& id, const HidReport& report) override;
    int getIndexedString(const std::string& id, int index, HidBlock& block) override;
    void setDeviceChangeHandler(std::function<void()> handler) override;

    // Unplugging and plugging the cable; each raises a device change.
    void setPlugged(bool plugged);

  private:
    std::shared_ptr<SimMachine> machine_;
    std::atomic<bool> plugged_{true};
    std::mutex mutex_;
    std::function<void()> handler_;
};

} // namespace korvane::sim
