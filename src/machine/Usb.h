#pragma once

#include "machine/Encoding.h"
#include "machine/HidBackend.h"
#include "machine/LinkErrors.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The USB link: the machine found among the HID devices by its strings, commands
// written as 17-byte output reports, status blocks read as indexed strings.
namespace korvane {

// The indexes of the machine's indexed reads (TfUsb::ReadString).
enum UsbIndex : int {
    usbStatusIndex = 10,
    usbWorkOriginIndex = 11,
    usbSpeedsIndex = 12,
    usbPowerIndex = 13,
    usbMachineInfoIndex = 14,
    usbInverterIndex = 16,
    usbDriverErrorIndex = 17,
    usbCalibrationIndex = 18,
    usbFirmwareIndex = 19,
    usbHeadTemperatureIndex = 20,
    usbStatusExtensionIndex = 24, // read after the status in the extended layout
    usbSizeClassIndex = 25,
};

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
    // Fills BufIn with the 256-byte reply; 0, else the error code (noMachine when
    // the machine is not found).
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
