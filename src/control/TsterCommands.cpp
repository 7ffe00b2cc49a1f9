#include "control/Tster.h"

#include "control/ToolMeasurement.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/Rounding.h"
#include "machine/Encoding.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"

#include <chrono>
#include <thread>

// The panel's machine commands: homing, the project zero, the tool length and
// the print head's temperatures.
namespace korvane {

namespace {

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Refuses an operation that needs the machine reachable and at rest; true when
// it may go on.
bool machineAtRest(const std::string& noLinkCaption, const char* busyKey,
                   const std::string& busyCaption) {
    ReadStatus();
    if (!linkUp()) {
        showMessage(txt("Ploter", "brakLacznosciZploterem"), true, noLinkCaption);
        return false;
    }
    if (plotstate.state & (stateJobRunning | stateMoving)) {
        showMessage(txt("Control_panel", busyKey), true, busyCaption);
        return false;
    }
    return true;
}

void moveZ(double mm) {
    SendMove(0, 0, roundHalfEven(machineParams.stepsZ * mm * 100));
}

} // namespace

void Tster::bazujClick() {
    const std::string caption = txt("Control_panel", "bazuj");
    if (!machineAtRest(caption, "bazowanieNiemozliwe", caption)) return;
    SendCommand("B7");
    WaitIdle();
    ReadMachineInfo();
    // Machines whose information begins with "$" find the Z reference by
    // touching it slowly from 10 mm below.
    if (plotstate.info1.rfind('$', 0) != 0) return;
    ReadSpeeds();
    SetSpeed(SpeedToMachine(2000));
    moveZ(10);
    WaitIdle();
    ReadSpeeds();
    SetSpeed(SpeedToMachine(100));
    for (int i = 0; i < 5; ++i) {
        sleepMs(100);
        moveZ(-0.2);
        WaitIdle();
    }
    ReadSpeeds();
    SetSpeed(SpeedToMachine(2000));
    SendCommand("B4");
    WaitIdle();
}

void Tster::setbazaClick() {
    // The dialog reads the position of a machine at rest.
    const auto until = std::chrono::steady_clock::now() + machineWaitLimit;
    while (ReadStatus() && (plotstate.state & stateMoving) &&
           std::chrono::steady_clock::now() < until)
        sleepMs(10);
    if (!actions.chooseProjectZero) return;
    if (const auto zero = actions.chooseProjectZero()) {
        plotstate.pos0.x = static_cast<float>(zero->first * 100);
        plotstate.pos0.y = static_cast<float>(zero->second * 100);
        SetWorkOriginXY();
    }
}

void Tster::setdlugosc() {
    if (!machineAtRest(txt("Control_panel", "dlugoscNarzedzia"), "zatrzymajPloterPrzedPomiarem",
                       txt("Control_panel", "pomiar")))
        return;
    ReadWorkOrigin();
    MeasureTool();
}

void Tster::UstawTemperatureGlowicy() {
    SendCommand(PadCommand16("S3i"));
    sleepMs(100);
    std::string cmd = "S3t";
    appendFloat32(cmd, headTemperatureSet[0]);
    appendFloat32(cmd, headTemperatureSet[1]);
    SendCommand(PadCommand16(cmd));
    sleepMs(100);
}

void Tster::ButtonOn1Click() {
    UstawTemperatureGlowicy();
    headTemperatureSet = {headWorking[0], headWorking[1]};
    UstawTemperatureGlowicy();
    ReadHeadTemperatures();
    ostatniaTemperatura_ = headTemperatureRead[1];
}

void Tster::ButtonStendByClick() {
    headTemperatureSet = {headStandby[0], headStandby[1]};
    UstawTemperatureGlowicy();
    ReadHeadTemperatures();
    ostatniaTemperatura_ = headTemperatureRead[1];
}

} // namespace korvane
