#include "machine/MachineState.h"

#include "machine/Ethernet.h"
#include "machine/Usb.h"

namespace korvane {

tplotstate plotstate;

bool ethernetActive = false;
int ethernetError = 0;
std::uint16_t fwMajor = 0, fwMinor = 0, fwBuild = 0;
bool extendedStatus = false;
TrPkt3D workArea;
double safeHeight = 10.0;
int driverErrorAxisMask = 0;
std::array<float, 2> headTemperatureRead{};
std::array<float, 2> headTemperatureSet{};

std::unique_ptr<TfUsb> usbLink;
std::unique_ptr<TfEthernet> ethernetLink;

std::chrono::milliseconds machineWaitLimit{std::chrono::minutes(10)};
std::chrono::milliseconds exchangeTimeout{std::chrono::seconds(5)};

std::string modelCode;
bool modelVariant = false;
double sharpCornerAngle = 165;
bool alternativeRamp = false;
float calX = 1, calY = 1, calZ = 1;
std::uint16_t finishingFeedLimit = 3000;
bool continueWithoutStoredJob = false;
std::array<float, 2> motionSettings{};

bool jobRunning = false;
bool jobPaused = false;
bool stopRequest = false;

std::function<void(const std::string&)> showStatusText = [](const std::string&) {};
std::function<void()> machineWaitPump;

} // namespace korvane
