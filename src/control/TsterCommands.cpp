#include "control/Tster.h"

#include "control/BaseCheck.h"

#include "control/ToolMeasurement.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/Rounding.h"
#include "machine/Encoding.h"
#include "machine/Identification.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Omron3g3jv.h"
#include "machine/Ploter.h"

#include <chrono>
#include <filesystem>

// The panel's machine commands: homing, the project zero, the tool length, the
// print head's temperatures and the service panel's inverter and probes.
namespace korvane {

namespace {

void sleepMs(int ms) {
    PauseForMachine(std::chrono::milliseconds(ms));
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

void Tster::SetOmronClick() {
    const std::string caption = txt("Control_panel", "SetOmron.Caption");
    if (!machineAtRest(caption, "serwisNiemozliwy", caption)) return;
    // Nothing programmed must not look like a programmed inverter.
    const auto file = inverterParameterFile();
    if (!std::filesystem::exists(file)) {
        showMessage(txt("Other", "OdwolanieDoNieistniejacegoPliku") + " " + file.string(), true,
                    caption);
        return;
    }
    try {
        ProgramInverter();
    } catch (const MachineFileError& e) {
        showMessage(e.what(), true, caption);
    }
}

namespace {

void probeAndShow(bool bounded, const std::string& caption) {
    if (!machineAtRest(caption, "serwisNiemozliwy", caption)) return;
    const ReferenceProbe found = probeReferences(bounded);
    if (found.found)
        showMessage(probeText(found), false, caption);
    else
        showMessage(txt("Control_panel", "bazaNieZnaleziona") + "\n" + probeText(found), true,
                    caption);
}

} // namespace

void Tster::BSprawdzBazeClick() {
    probeAndShow(false, txt("Control_panel", "BSprawdzBaze.Caption"));
}

void Tster::BtnSprawdzBazeClick() {
    probeAndShow(true, txt("Control_panel", "ButtonSprawdzBaze.Caption"));
}

} // namespace korvane
