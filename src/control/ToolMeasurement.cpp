#include "control/ToolMeasurement.h"

#include "foundation/MachineParams.h"
#include "foundation/Rounding.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"

#include <chrono>
#include <thread>

namespace korvane {

std::function<bool()> toolLengthDialog;

long long plateOrigin(int position, double plate, double substrate, double material, double absZ) {
    switch (position) {
    case plateOnSubstrate:
        return roundHalfEven((plate + substrate) * 100 - absZ);
    case plateOnMaterial:
        return roundHalfEven((substrate + plate + material) * 100 - absZ);
    default:
        return roundHalfEven(plate * 100 - absZ);
    }
}

long long tableOrigin(double absZ) {
    return roundHalfEven(-absZ);
}

long long materialSurfaceOrigin(double substrate, double material, double absZ) {
    return roundHalfEven(substrate * 100 - absZ + material * 100);
}

MeasureRefusal measurementRefusal() {
    if (!linkUp() || !ReadStatus()) return MeasureRefusal::noLink;
    if (plotstate.state & (stateJobRunning | stateMoving)) return MeasureRefusal::machineBusy;
    return MeasureRefusal::none;
}

void moveToZTop() {
    ReadPositions();
    const double k = plotstate.info1.starts_with("4") ? 2 : 1;
    const long long dz = roundHalfEven(-plotstate.abspos.z * machineParams.stepsZ);
    SendCommand(EncodeMove(0, 0, dz, -1, k).bytes);
    WaitIdle();
    if (!machineParams.newSpeedEncoding) {
        SendCommand("B4");
        WaitIdle();
    }
}

void sendToolOrigin(long long pos0z) {
    plotstate.pos0.z = static_cast<float>(pos0z);
    SetWorkOriginZ();
}

void measureAgainstPlate(int platePosition, double plate, double substrate, double material,
                         const std::function<bool()>& interrupted) {
    ReadMachineInfo();
    moveToZTop();
    ReadSpeeds();
    const std::int32_t auxiliarySpeed = plotstate.speedm;
    ReadPositions();
    ReadPositions();
    WaitIdle();
    SendCommand("W");
    WaitIdle();
    // The machine stops the tool on the plate; a waiting key or command stops it here.
    const auto deadline = std::chrono::steady_clock::now() + machineWaitLimit;
    while (ReadStatus() && (plotstate.state & stateMoving) && !interrupted() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (plotstate.state & stateMoving) {
        StopMotion();
        WaitIdle();
    }
    ReadPositions();
    sendToolOrigin(plateOrigin(platePosition, plate, substrate, material, plotstate.abspos.z));
    moveToZTop();
    SetSpeed(auxiliarySpeed);
}

bool machineRequestsMeasurement() {
    if (!ReadStatus() || !(plotstate.StateExtend & stateToolMeasurement)) return false;
    if (linkUp() && FirmwareAtLeast(7, 17)) SendCommand("SU");
    return true;
}

bool MeasureTool() {
    return toolLengthDialog ? toolLengthDialog() : false;
}

} // namespace korvane
