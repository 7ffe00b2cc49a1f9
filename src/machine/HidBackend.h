#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Access to the HID devices of the system, as the USB link needs it. Error
// results are the codes of the Windows HID layer the machines were built for:
// 0 success, 31 a device that is not functioning, other positive codes for
// other failures.
namespace korvane {

struct HidDeviceInfo {
    std::string id; // identifies the device within one enumeration
    std::string manufacturer, product, serial;
    bool stringsOk = true; // false when the strings could not be read
};

using HidReport = std::array<std::uint8_t, 17>;
using HidBlock = std::array<std::uint8_t, 256>;

inline constexpr int hidErrorNotFunctioning = 31;
inline constexpr int hidErrorNotConnected = 1167;

class HidBackend {
  public:
    virtual ~HidBackend() = default;
    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    // Opens the device on first use and keeps it open; 0 or an error code.
    virtual int open(const std::string& id) = 0;
    virtual int writeReport(const std::string& id, const HidReport& report) = 0;
    // The reply to a request for the indexed string `index`; 0 or an error code.
    virtual int getIndexedString(const std::string& id, int index, HidBlock& block) = 0;
    // `handler` is called, from any thread, whenever devices arrive or leave.
    virtual void setDeviceChangeHandler(std::function<void()> handler) = 0;
};

} // namespace korvane
