#pragma once

#include "foundation/Records.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The process-wide state of the machine link: the machine state as last read,
// the link state, the two links and the identification results.
namespace korvane {

class TfUsb;
class TfEthernet;

// The machine state as last read.
struct tplotstate {
    std::uint16_t state = 0;       // low 8 bits of StateExtend
    std::uint64_t StateExtend = 0; // the full status word
    tPoint3d realpos;              // steps
    TrPkt3D abspos;                // position units (0.01 mm)
    std::uint8_t sel_speed = 0;    // 0 rapid, 1 working, 2 auxiliary, 3 plunge
    std::int32_t speed = 0;        // machine speed value of the selected slot
    std::int32_t speedp = 0, speedr = 0, speedm = 0, speedpol = 0;
    std::int32_t speedc = 0; // current speed
    std::uint8_t sel_power = 0;
    std::uint16_t power = 0;
    std::int32_t error = 0;
    TrPkt3D pos0; // work origin, position units
    std::string info0, info1, info2;
    std::int32_t info_time = 0;
    std::int32_t info_ilpl = 0;
    std::uint8_t PowerMaska = 0;
    std::int32_t selectedZ = 0, selectedV = 0;
};

// Bits of tplotstate::state and StateExtend.
enum : std::uint64_t {
    stateMoving = 0x1,
    stateJobRunning = 0x2,
    stateSpindleOn = 0x4,
    stateUnsettled = 0x8,
    stateJobStored = 0x20,
    stateJobInterrupted = 0x40,
    stateBufferFull = 0x200,
    stateStartButton = 0x800,
    stateStopButton = 0x1000,
    stateContinueButton = 0x2000,
    stateSpindleOverload = 0x4000,
    stateToolMeasurement = 0x4000000,
    stateDriveError = 0x10000000,
    stateInverterFault = 0x4000000000000000ull,
};

extern tplotstate plotstate;

// Link state.
extern bool ethernetActive; // commands and status go over Ethernet, else USB
extern int ethernetError;   // last Ethernet error code
extern std::uint16_t fwMajor, fwMinor, fwBuild;
extern bool extendedStatus;
extern TrPkt3D workArea;  // machine travel, mm
extern double safeHeight; // mm above the work origin for rapid travel
extern int driverErrorAxisMask;
extern std::array<float, 2> headTemperatureRead;
extern std::array<float, 2> headTemperatureSet;

// The links; usbLink exists unless USB was switched off at start.
extern std::unique_ptr<TfUsb> usbLink;
extern std::unique_ptr<TfEthernet> ethernetLink;

// Deadlines: how long a wait for the machine to settle may last, and how long
// one Ethernet exchange may take, before the link is taken as lost.
extern std::chrono::milliseconds machineWaitLimit;
extern std::chrono::milliseconds exchangeTimeout;

// Identification results (cornerAngle, cornerCountAngle and transferMargin,
// which generation reads too, are in generation/GenState.h).
extern std::string modelCode;
extern bool modelVariant;       // treated as classic for spin-up and inverter check
extern double sharpCornerAngle; // degrees; "kat_tech_normalny_dz"
extern bool alternativeRamp;    // the 40920/sqrt(i) ramp of the newer controllers
extern float calX, calY, calZ;  // axis calibration factors
extern std::uint16_t finishingFeedLimit;
extern bool continueWithoutStoredJob;
extern std::array<float, 2> motionSettings; // the newer controllers' two motion settings

// Job transmission state.
extern bool jobRunning; // the machine was told to execute the job
extern bool jobPaused;
// The main window's STOP: a pause asked of the control panel's next tick.
extern bool stopRequest;

// The first panel of the main window's status bar; the front end installs it.
extern std::function<void(const std::string&)> showStatusText;

// Called about every 10 ms while the main thread waits for the machine to
// settle, so that the window keeps drawing; the front end installs it.
extern std::function<void()> machineWaitPump;

} // namespace korvane
