#include "machine/Ploter.h"

#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/Rounding.h"
#include "machine/Ethernet.h"
#include "machine/MoveEncoding.h"
#include "machine/Usb.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

// Bytes 1 and 2 of the last Ethernet status block: the drive error's code
// (else the reference switches' inputs) and its axis mask.
int ethernetDriveError = 0, ethernetDriveErrorAxes = 0;

const std::uint8_t* usbBlock() {
    return usbLink->BufIn.data();
}

// One indexed read over USB; a missing link reads as a zeroed block.
bool usbRead(int index) {
    if (!usbLink) return false;
    return usbLink->ReadString(index) == 0;
}

float stepsToUnits(std::int32_t steps, double stepsPerUnit) {
    return stepsPerUnit == 0 ? 0.0f : static_cast<float>(steps / stepsPerUnit);
}

void recomputeAbspos() {
    plotstate.abspos.x = stepsToUnits(plotstate.realpos.x, machineParams.stepsX);
    plotstate.abspos.y = stepsToUnits(plotstate.realpos.y, machineParams.stepsY);
    plotstate.abspos.z = stepsToUnits(plotstate.realpos.z, machineParams.stepsZ);
}

void decodeUsbStatus() {
    static const ReplyBlock zero{};
    const std::uint8_t* b = usbLink ? usbBlock() : zero.data();
    plotstate.PowerMaska = b[1];
    int pos = 6;
    if (extendedStatus) {
        plotstate.StateExtend = readLE64(b + 6);
        pos = 14;
    } else {
        plotstate.StateExtend =
            static_cast<std::uint64_t>(static_cast<std::int64_t>(readLE32(b + 2)));
    }
    plotstate.state = static_cast<std::uint16_t>(plotstate.StateExtend & 0xFF);
    plotstate.realpos = {readLE32(b + pos), readLE32(b + pos + 4), readLE32(b + pos + 8)};
}

bool readStatusOnce() {
    if (ethernetActive) {
        ReplyBlock block{};
        if (!ethernetLink->GetStatus(block)) return false;
        decodeEthernetStatus(block);
        return true;
    }
    const bool ok = usbRead(usbStatusIndex);
    decodeUsbStatus();
    if (extendedStatus) usbRead(usbStatusExtensionIndex);
    return ok;
}

void selectSpeed() {
    switch (plotstate.sel_speed) {
    case 0:
        plotstate.speed = plotstate.speedp;
        break;
    case 1:
        plotstate.speed = plotstate.speedr;
        break;
    case 2:
        plotstate.speed = plotstate.speedm;
        break;
    case 3:
        plotstate.speed = plotstate.speedpol;
        break;
    default:
        break;
    }
}

void noLinkMessage() {
    showMessage(txt("Ploter", "brakLacznosciZploterem"), true, txt("Ploter", "przesunNaStart"));
}

long long truncated(double v) {
    return static_cast<long long>(v);
}

// Lets the window draw while a wait for the machine lasts; at most every 10 ms.
void pumpWhileWaiting() {
    static auto last = Clock::now();
    if (!machineWaitPump || Clock::now() - last < std::chrono::milliseconds(10)) return;
    last = Clock::now();
    machineWaitPump();
}

} // namespace

bool linkUp() {
    return ethernetActive || (usbLink && usbLink->VardimonExist());
}

int SendCommand(const std::string& cmd) {
    if (cmd.empty()) return 0;
    if (ethernetActive) return ethernetLink->Write(cmd);
    if (!usbLink) return noMachine;
    int result = usbLink->Write(cmd);
    for (int retry = 0; retry < 10 && result == usbNotPresent; ++retry) {
        result = usbLink->Write(cmd);
        PauseForMachine(std::chrono::milliseconds(10));
    }
    if (result != 0 && result != usbNotPresent)
        showMessage(txt("Ploter", "brakLacznosciZploterem"), true, std::to_string(result));
    return result;
}

bool ReadStatus() {
    const auto deadline = Clock::now() + machineWaitLimit;
    for (;;) {
        if (!readStatusOnce()) return false;
        if (!(plotstate.state & stateUnsettled)) return true;
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pumpWhileWaiting();
    }
}

bool WaitIdle() {
    const auto deadline = Clock::now() + machineWaitLimit;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ReadStatus();
    while (plotstate.state & (stateMoving | stateUnsettled)) {
        if (Clock::now() > deadline) {
            showMessage(txt("Ploter", "brakLacznosciZploterem"), true);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        pumpWhileWaiting();
        ReadStatus();
    }
    return true;
}

void PauseForMachine(std::chrono::milliseconds duration) {
    const auto until = Clock::now() + duration;
    for (auto now = Clock::now(); now < until; now = Clock::now()) {
        std::this_thread::sleep_for(
            std::min<Clock::duration>(until - now, std::chrono::milliseconds(5)));
        if (machineWaitPump) machineWaitPump();
    }
}

void ReadPositions() {
    if (!ethernetActive) {
        usbRead(usbStatusIndex);
        decodeUsbStatus();
    }
    recomputeAbspos();
}

void ReadWorkOrigin() {
    if (ethernetActive) return;
    usbRead(usbWorkOriginIndex);
    if (!usbLink) return;
    const std::uint8_t* b = usbBlock();
    plotstate.pos0.x = stepsToUnits(readLE32(b + 2), machineParams.stepsX);
    plotstate.pos0.y = stepsToUnits(readLE32(b + 6), machineParams.stepsY);
    plotstate.pos0.z = stepsToUnits(readLE32(b + 10), machineParams.stepsZ);
}

void ReadSpeeds() {
    if (!ethernetActive && usbLink) {
        usbRead(usbSpeedsIndex);
        const std::uint8_t* b = usbBlock();
        const double k = machineParams.speedFactor;
        plotstate.sel_speed = b[0];
        std::int32_t* slots[4] = {&plotstate.speedp, &plotstate.speedr, &plotstate.speedm,
                                  &plotstate.speedpol};
        if (machineParams.newSpeedEncoding) {
            for (int i = 0; i < 4; ++i)
                *slots[i] = static_cast<std::int32_t>(roundHalfEven(readLE32(b + 2 + 4 * i) * k));
            plotstate.speedc = static_cast<std::int32_t>(
                std::min<long long>(roundHalfEven(readLE32(b + 22) * k), 65535));
        } else {
            const double scale = k * machineParams.stepsX;
            for (int i = 0; i < 4; ++i)
                *slots[i] =
                    static_cast<std::int32_t>(roundHalfEven(readLE16(b + 2 + 2 * i) * scale));
            plotstate.speedc = static_cast<std::int32_t>(roundHalfEven(readLE16(b + 12) * scale));
        }
    }
    selectSpeed();
}

void ReadPower() {
    if (ethernetActive || !usbLink) return;
    usbRead(usbPowerIndex);
    const std::uint8_t* b = usbBlock();
    plotstate.sel_power = b[0];
    if (plotstate.sel_power < 5)
        plotstate.power = static_cast<std::uint16_t>(
            roundHalfEven(readLE16(b + 2 + 2 * plotstate.sel_power) / 1.0));
}

void ReadMachineInfo() {
    if (ethernetActive) {
        ethernetLink->getInfo();
        return;
    }
    if (!usbLink) return;
    if (usbRead(usbMachineInfoIndex) && usbLink->device()) {
        const HidDeviceInfo& d = *usbLink->device();
        plotstate.info0 = d.manufacturer;
        plotstate.info1 = d.product;
        plotstate.info2 = d.serial;
        const std::uint8_t* b = usbBlock();
        workArea = {static_cast<float>(readLE32(b + 2)), static_cast<float>(readLE32(b + 6)),
                    static_cast<float>(readLE32(b + 10))};
        plotstate.info_time = readLE32(b + 14);
        plotstate.info_ilpl = readLE32(b + 18);
        ReadFirmwareVersion();
    }
}

std::string ReadFirmwareVersion() {
    fwMajor = fwMinor = fwBuild = 0;
    if (usbLink && usbRead(usbFirmwareIndex)) {
        const std::uint8_t* b = usbBlock();
        fwMajor = b[0];
        fwMinor = b[1];
        fwBuild = readLE16(b + 10);
    }
    return std::to_string(fwMajor) + "." + std::to_string(fwMinor) + "." + std::to_string(fwBuild);
}

int ReadDriverError() {
    if (ethernetActive) {
        driverErrorAxisMask = ethernetDriveErrorAxes;
        return ethernetDriveError;
    }
    if (!usbLink) return 0;
    usbRead(usbDriverErrorIndex);
    driverErrorAxisMask = usbBlock()[6];
    return usbBlock()[2];
}

std::string DriverErrorAxes(int mask) {
    std::string axes;
    if (mask & 1) axes += "X ";
    if (mask & 2) axes += "Y1 ";
    if (mask & 8) axes += "Y2 ";
    if (mask & 4) axes += "Z ";
    return axes;
}

void ReadHeadTemperatures() {
    if (!usbLink) return;
    usbRead(usbHeadTemperatureIndex);
    headTemperatureRead = {readFloat32(usbBlock() + 2), readFloat32(usbBlock() + 6)};
}

bool InverterOk() {
    if (!extendedStatus) return true;
    return modelVariant || !(plotstate.StateExtend & stateInverterFault);
}

bool FirmwareAtLeast(int major, int minor) {
    return fwMajor * 100 + fwMinor >= major * 100 + minor;
}

bool FirmwareAtLeastEach(int major, int minor, int build) {
    return fwMajor >= major && fwMinor >= minor && fwBuild >= build;
}

bool FirmwareIs(int major, int minor) {
    return fwMajor == major && fwMinor == minor;
}

void SetSpeed(double value) {
    ReadStatus();
    if (plotstate.sel_speed > 3) return;
    const double k = machineParams.speedFactor;
    const long long v = machineParams.newSpeedEncoding
                            ? roundHalfEven(value / k)
                            : roundHalfEven(roundHalfEven(value / machineParams.stepsX) / k);
    SendCommand(SpeedCommand(plotstate.sel_speed, v));
    ReadSpeeds();
}

void SetPower() {
    std::string cmd = "T";
    appendByte(cmd, plotstate.sel_power);
    const long long value = roundHalfEven(plotstate.power * 1.0);
    if (fwMajor < 6)
        appendByte(cmd, value);
    else
        appendLE32(cmd, value);
    SendCommand(cmd);
}

void ToggleSpindle() {
    std::string cmd = "R";
    if (plotstate.state & stateSpindleOn) {
        appendByte(cmd, 0);
        appendByte(cmd, plotstate.sel_power);
    } else {
        appendByte(cmd, 1);
        appendByte(cmd, 2);
    }
    SendCommand(cmd);
}

void SetWorkOriginXY() {
    std::string cmd = "U";
    appendLE32(cmd, roundHalfEven(plotstate.pos0.x * machineParams.stepsX));
    appendLE32(cmd, roundHalfEven(plotstate.pos0.y * machineParams.stepsY));
    SendCommand(cmd);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void SetWorkOriginZ() {
    std::string cmd = "N";
    appendLE32(cmd, roundHalfEven(plotstate.pos0.z * machineParams.stepsZ));
    SendCommand(cmd);
}

void StopMotion() {
    SendCommand("Y");
}

bool SendMove(long long dx, long long dy, long long dz) {
    const EncodedMove move = EncodeMove(dx, dy, dz, -1, machineParams.speedFactor);
    if (move.bytes.empty()) return false;
    SendCommand(move.bytes);
    return true;
}

bool MoveToPoint(double z, double y, double x) {
    ReadStatus();
    if (!linkUp()) {
        noLinkMessage();
        return false;
    }
    if (plotstate.state & (stateMoving | stateJobRunning)) return false;
    ReadWorkOrigin();
    ReadPositions();
    SendCommand(SlotCommand(0));
    const TMachineParams& p = machineParams;
    const long long tx =
        roundHalfEven((x * 100 + plotstate.pos0.x) * p.stepsX - plotstate.realpos.x);
    const long long ty =
        roundHalfEven((y * 100 + plotstate.pos0.y) * p.stepsY - plotstate.realpos.y);
    const long long D = roundHalfEven(
        std::sqrt(static_cast<long double>(tx) * tx + static_cast<long double>(ty) * ty) + 0.5L);
    const double height = plotstate.pos0.z + plotstate.abspos.z;
    if (safeHeight * 100 > height && D > 0) {
        const long long h = roundHalfEven(safeHeight * 100 - height);
        SendMove(0, 0, roundHalfEven(h * p.stepsZ));
        if (!WaitIdle()) return false;
        ReadPositions();
        if (std::fabs(truncated(safeHeight * 100) - (plotstate.pos0.z + plotstate.abspos.z)) > 1)
            return false;
    }
    if (D > 0) {
        SendMove(tx, ty, 0);
        if (!WaitIdle()) return false;
        ReadPositions();
        if (std::llabs(truncated((x * 100 + plotstate.pos0.x) * p.stepsX) - plotstate.realpos.x) >
                1 ||
            std::llabs(truncated((y * 100 + plotstate.pos0.y) * p.stepsY) - plotstate.realpos.y) >
                1)
            return false;
    }
    ReadPositions();
    const long long tz =
        roundHalfEven(z * 100 * p.stepsZ - (p.stepsZ * plotstate.pos0.z + plotstate.realpos.z));
    if (std::llabs(tz) < 1) return true;
    SendMove(0, 0, tz);
    if (!WaitIdle()) return false;
    ReadPositions();
    return std::llabs(truncated(z * 100 * p.stepsZ) -
                      truncated(p.stepsZ * plotstate.pos0.z + plotstate.realpos.z)) <= 1;
}

bool MoveToPointDirect(double z, double y, double x) {
    ReadStatus();
    if (!linkUp()) {
        noLinkMessage();
        return false;
    }
    if (plotstate.state & (stateMoving | stateJobRunning)) return false;
    ReadWorkOrigin();
    ReadPositions();
    const TMachineParams& p = machineParams;
    SendCommand(SpeedCommand(2, SpeedToMachine(roundHalfEven(p.maxSpeed * p.speedFactor))));
    SendCommand(SlotCommand(2));
    const long long tx = roundHalfEven(x * 100 * p.stepsX - plotstate.realpos.x);
    const long long ty = roundHalfEven(y * 100 * p.stepsY - plotstate.realpos.y);
    const long long tz = roundHalfEven(z * 100 * p.stepsZ - plotstate.realpos.z);
    const long long L = roundHalfEven(std::sqrt(static_cast<long double>(tx) * tx +
                                                static_cast<long double>(ty) * ty +
                                                static_cast<long double>(tz) * tz) +
                                      0.5L);
    if (L <= 0) return true;
    SendMove(tx, ty, tz);
    if (!WaitIdle()) return false;
    ReadPositions();
    return std::llabs(truncated(x * 100 * p.stepsX) - plotstate.realpos.x) <= 1 &&
           std::llabs(truncated(y * 100 * p.stepsY) - plotstate.realpos.y) <= 1;
}

void decodeEthernetStatus(const ReplyBlock& block) {
    const std::uint8_t* b = block.data();
    const int s = fwMajor >= 7 ? 8 : 0;
    const TMachineParams& p = machineParams;
    ethernetDriveError = b[1];
    ethernetDriveErrorAxes = b[2];
    plotstate.PowerMaska = b[3];
    plotstate.StateExtend = static_cast<std::uint32_t>(readLE32(b + 4));
    plotstate.state = static_cast<std::uint16_t>(plotstate.StateExtend & 0xFF);
    plotstate.realpos = {readLE32(b + 8), readLE32(b + 12), readLE32(b + 16)};
    plotstate.selectedZ = s ? readLE32(b + 20) : 0;
    plotstate.selectedV = s ? readLE32(b + 24) : 0;
    plotstate.pos0.x = static_cast<float>(roundHalfEven(readLE32(b + s + 24) / p.stepsX));
    plotstate.pos0.y = static_cast<float>(roundHalfEven(readLE32(b + s + 28) / p.stepsY));
    plotstate.pos0.z =
        p.stepsZ != 0 ? static_cast<float>(roundHalfEven(readLE32(b + s + 32) / p.stepsZ)) : 0.0f;
    workArea = {static_cast<float>(readLE32(b + s + 40)), static_cast<float>(readLE32(b + s + 44)),
                static_cast<float>(readLE32(b + s + 48))};
    plotstate.info_time = readLE32(b + s + 52);
    plotstate.info_ilpl = readLE32(b + s + 56);
    plotstate.sel_speed = b[s + 62];
    std::int32_t* slots[4] = {&plotstate.speedp, &plotstate.speedr, &plotstate.speedm,
                              &plotstate.speedpol};
    for (int i = 0; i < 4; ++i)
        *slots[i] =
            static_cast<std::int32_t>(roundHalfEven(readLE32(b + s + 64 + 4 * i) * p.speedFactor));
    plotstate.speedc = static_cast<std::int32_t>(
        std::min<long long>(roundHalfEven(readLE32(b + s + 80) * p.speedFactor), 65535));
    plotstate.sel_power = std::min<std::uint8_t>(b[s + 90], 5);
    plotstate.power = static_cast<std::uint16_t>(
        roundHalfEven(readLE16(b + s + 92 + 2 * plotstate.sel_power) / 1.0));
    recomputeAbspos();
}

void decodeEthernetInfo(const std::string& reply) {
    if (const auto i = reply.find("VARDIMON"); i != std::string::npos) {
        auto field = [&](std::size_t at) {
            return at < reply.size() ? reply.substr(at, 8) : std::string();
        };
        plotstate.info0 = field(i);
        plotstate.info1 = field(i + 21);
        plotstate.info2 = field(i + 42);
    }
    fwMajor = fwMinor = 0;
    if (const auto v = reply.find("ver"); v != std::string::npos && v + 6 <= reply.size()) {
        auto digit = [&](std::size_t at) {
            const char c = reply[at];
            return c >= '0' && c <= '9' ? c - '0' : -1;
        };
        const int a = digit(v + 3), b = digit(v + 4), c = digit(v + 5);
        if (a >= 0 && b >= 0 && c >= 0) {
            fwMajor = static_cast<std::uint16_t>(a);
            fwMinor = static_cast<std::uint16_t>(10 * b + c);
        }
    }
}

} // namespace korvane
