#include "SimHidBackend.h"

namespace korvane::sim {

namespace {
constexpr const char* simDeviceId = "sim:1";
} // namespace

SimHidBackend::SimHidBackend(std::shared_ptr<SimMachine> machine) : machine_(std::move(machine)) {}

std::vector<HidDeviceInfo> SimHidBackend::enumerate() {
    if (!plugged_) return {};
    const SimConfig& c = machine_->config();
    return {HidDeviceInfo{simDeviceId, c.manufacturer, c.product, c.serial, true}};
}

int SimHidBackend::open(const std::string& id) {
    return plugged_ && id == simDeviceId ? 0 : hidErrorNotConnected;
}

int SimHidBackend::writeReport(const std::string& id, const HidReport& report) {
    if (!plugged_ || id != simDeviceId) return hidErrorNotConnected;
    machine_->hidReport(report);
    return 0;
}

int SimHidBackend::getIndexedString(const std::string& id, int index, HidBlock& block) {
    if (!plugged_ || id != simDeviceId) return hidErrorNotConnected;
    block = machine_->indexed(index);
    return 0;
}

void SimHidBackend::setDeviceChangeHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void SimHidBackend::setPlugged(bool plugged) {
    plugged_ = plugged;
    std::function<void()> handler;
    {
        std::lock_guard lock(mutex_);
        handler = handler_;
    }
    if (handler) handler();
}

} // namespace korvane::sim
