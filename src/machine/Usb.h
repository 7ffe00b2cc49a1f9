#pragma once

#include "machine/Encoding.h"
#include "machine/HidBackend.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The USB link: the machine found among the HID devices by its strings, commands
// written as 17-byte output reports, status blocks read as indexed strings.
namespace korvane {

inline constexpr int usbNotPresent = -123456;

class TfUsb {
  public:
    // Attaches the device-change handler, enumerates and writes "X".
    explicit TfUsb(std::unique_ptr<HidBackend> backend);
    ~TfUsb();
    TfUsb(const TfUsb&) = delete;
    TfUsb& operator=(const TfUsb&) = delete;

    // True when the machine is selected, else searches DevList for it.
    bool VardimonExist();
    // 0, usbNotPresent, or the error code of the failed write.
    int Write(const std::string& sx);
    // Fills BufIn with the 256-byte reply; 0, else the error code (-1 when none).
    int ReadString(int ind);

    // Device arrival or removal: DevList rebuilt, Present cleared.
    void deviceChange();

    const HidDeviceInfo* device() const { return present_ ? &devList_[theDev_] : nullptr; }
    bool Present() const { return present_; }
    ReplyBlock BufIn{};

  private:
    void enumerate();
    std::unique_ptr<HidBackend> backend_;
    std::vector<HidDeviceInfo> devList_;
    std::size_t theDev_ = 0;
    bool present_ = false;
    std::shared_ptr<bool> alive_;
};

// The identification rule: manufacturer exactly "Vardimon", product beginning,
// without regard to case, with "X", "G" or "KW".
bool isVardimonDevice(const HidDeviceInfo& device);

} // namespace korvane
