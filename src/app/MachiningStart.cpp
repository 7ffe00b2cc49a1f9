#include "app/MachiningStart.h"

#include "control/BaseCheck.h"
#include "control/ToolMeasurement.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/Rounding.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "generation/GenState.h"
#include "libraries/Frezy.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"
#include "libraries/Projekt.h"
#include "machine/Encoding.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"
#include "output/DaneWyjsciowe.h"
#include "output/ProgramFeedsFile.h"

#include <algorithm>

namespace korvane {

namespace {

const std::string crlf = "\r\n";

// No machine on either link: START, STOP and continue say so and do nothing.
bool refusedWithoutMachine() {
    if (linkUp()) return false;
    showMessage(txt("Control_panel", "brakUsb") + crlf + txt("Control_panel", "sterBrakPolaczenia"),
                true);
    return true;
}

// The operation the output was built from: the first of its name, ignoring case.
const TOperacjaDane* findOperation(const std::string& name) {
    if (!operationLibrary) return nullptr;
    for (const auto& operation : operationLibrary->Lista)
        if (sameText(operation->nazwa, name)) return operation.get();
    return nullptr;
}

double materialHeight() {
    return project ? static_cast<double>(project->d.material.rozmZ) : 0.0;
}

double substrate() {
    return project ? static_cast<double>(project->d.material.gruboscPodkladki) : 0.0;
}

// The highest point and transfer height of an output file; 0 when unreadable.
double programTop(const std::string& name) {
    tWy reader;
    try {
        reader.wczytajPlik(outputFilePath(name), -1);
    } catch (const OutputFileError&) {
        return 0;
    }
    double top = reader.ListaFigur.empty() ? 0.0 : static_cast<double>(reader.max.z);
    for (const auto& f : reader.ListaFigur) top = std::max(top, f->przestawczyZ);
    return top;
}

} // namespace

double jobSafeHeight(double materialHeight, double modelHeight, double allowance, double margin,
                     double substrate) {
    return std::max(materialHeight + margin, margin + modelHeight + allowance) + substrate;
}

bool MachiningStart::sbStartClick(const std::vector<std::string>& outputs, int& selected,
                                  const std::string& windowCaption) {
    startFigureIndex = 0;
    startPointIndex = 0;
    return StartObrobki(outputs, selected, windowCaption);
}

bool MachiningStart::mStartOdWybranegoClick(const std::vector<std::string>& outputs, int& selected,
                                            const std::string& windowCaption) {
    if (selected < 0) {
        showMessage(txt("Main_window", "wybierzPlikWyjsciowy"), false);
        return false;
    }
    if (!view_.chooseStartPoint()) return false;
    return StartObrobki(outputs, selected, windowCaption);
}

bool MachiningStart::StartObrobki(const std::vector<std::string>& outputs, int& selected,
                                  const std::string& windowCaption) {
    if (refusedWithoutMachine()) return false;
    if (!InverterOk() && askConfirmation(txt("Control_panel", "bladFalownika") + crlf +
                                             "Czy mimo to chcesz kontynuować?",
                                         Buttons::YesNo) != Button::Yes)
        return false;
    writeReportLine("Start Obrobki");
    if (outputs.size() == 1) selected = 0;
    if (selected < 0 || selected >= static_cast<int>(outputs.size())) {
        showMessage(txt("Main_window", "wybierzPlikWyjsciowy"), false);
        return false;
    }
    const std::string& name = outputs[static_cast<std::size_t>(selected)];
    const TOperacjaDane* found = findOperation(name);
    // A program from another CAM system runs as an operation of its own.
    std::optional<TOperacjaDane> program;
    if (!found)
        if (const auto feeds = readFeedsFile(outputFilePath(name)))
            program = programOperation(name, *feeds);
    if (!found && !program) return false;
    const TOperacjaDane operation = found ? *found : *program;

    if (settings.printer3D) {
        if (!preparePrinting(operation)) return false;
        return startOnMachine(operation, name, windowCaption);
    }
    // The repeatability test starts every job from a freshly homed machine.
    if (baseCheck.on()) {
        MoveToPointDirect(0, 0, 0);
        panel_.bazujClick();
    }
    if (!CheckToolChange(operation.narzedzie)) return false;
    lastTool = operation.narzedzie;
    safeHeight = jobSafeHeight(materialHeight(), modelSize.z, operation.zostawDoNastOper,
                               transferMargin, substrate());
    // A program's start and end clear its own paths and transfer heights.
    if (program) safeHeight = std::max(safeHeight, programTop(name) + transferMargin + substrate());
    ReadPositions();
    ReadWorkOrigin();
    if (plotstate.pos0.z / 100 < safeHeight) {
        showMessage(txt("Main_window", "projektNieMiesciSiePodFrezem") + crlf +
                        txt("Main_window", "zaMalyPrzeswitInfo"),
                    false);
        return false;
    }
    return startOnMachine(operation, name, windowCaption);
}

bool MachiningStart::startOnMachine(const TOperacjaDane& operation, const std::string& name,
                                    const std::string& windowCaption) {
    if (!panel_.StartMaszyny(operation, name, windowCaption)) return false;
    // Only a job that was sent gets a check file: a refused start must not
    // restart the report of a job that still runs.
    if (baseCheck.on())
        baseCheck.StartBaseCheckReport(baseCheckJob(operation, windowCaption), WallClock::now());
    return true;
}

bool MachiningStart::preparePrinting(const TOperacjaDane& operation) {
    headTemperatureSet[0] = static_cast<float>(operation.tempRobocza);
    panel_.UstawTemperatureGlowicy();
    ReadHeadTemperatures();
    if (!view_.waitForHead()) {
        headTemperatureSet = {headStandby[0], headStandby[1]};
        panel_.UstawTemperatureGlowicy();
        return false;
    }
    safeHeight = jobSafeHeight(materialHeight(), modelSize.z, 0, transferMargin, substrate());
    ReadPositions();
    MoveToPoint(0, 0, 0);
    ReadSpeeds();
    const long long speed = plotstate.speed;
    SetSpeed(SpeedToMachine(100));
    // 2 mm of filament drawn back before the job begins.
    SendCommand(PadCommand16("SBS"));
    const TMachineParams& p = machineParams;
    SendCommand(EncodeMove(0, 0, roundHalfEven(p.stepsB * -200), -1, p.speedFactor).bytes);
    WaitIdle();
    SetSpeed(speed);
    return true;
}

bool MachiningStart::CheckToolChange(const std::string& toolId) {
    if (toolId == lastTool) return true;
    const std::string description =
        toolLibrary ? toolLibrary->dajOpisFrezaNaPodstId(toolId, true) : std::string();
    const std::string text = txt("Main_window", "wymienNarzedzie") + crlf + description + crlf +
                             crlf + txt("Main_window", "nalezyWykonacPomiarNarzedzia") + crlf +
                             txt("Main_window", "czyWykonacPomiarNarzedzia");
    // Yes measures the new tool in the tool length dialog, when the program has one.
    const bool canMeasure = static_cast<bool>(toolLengthDialog);
    switch (view_.askToolChange(text, canMeasure)) {
    case ToolAnswer::cancel:
        return false;
    case ToolAnswer::ignore:
        return true;
    case ToolAnswer::yes:
        break;
    }
    ReadStatus();
    if (!linkUp()) {
        showMessage(txt("Ploter", "brakLacznosciZploterem"), true,
                    txt("Main_window", "dlugoscNarzedzia"));
        return false;
    }
    if (plotstate.state & (stateJobRunning | stateMoving)) {
        showMessage(txt("Main_window", "zatrzymajPloterPrzedPomiarem"), true,
                    txt("Main_window", "pomiar"));
        return false;
    }
    ReadWorkOrigin();
    return MeasureTool();
}

void sbStopClick() {
    if (!refusedWithoutMachine()) stopRequest = true;
}

void MachiningStart::sbKontynuacjaClick(const std::vector<std::string>& outputs, int& selected,
                                        const std::string& windowCaption) {
    if (refusedWithoutMachine()) return;
    if (const auto resume = panel_.resumePoint()) {
        const auto it = std::find(outputs.begin(), outputs.end(), panel_.operWtoku.nazwa);
        if (it == outputs.end()) return;
        selected = static_cast<int>(it - outputs.begin());
        startFigureIndex = static_cast<int>(resume->figure);
        startPointIndex = static_cast<int>(resume->point);
        StartObrobki(outputs, selected, windowCaption);
        return;
    }
    if (settings.printer3D && !view_.waitForHead()) {
        headTemperatureSet = {headWorking[0], headWorking[1]};
        panel_.UstawTemperatureGlowicy();
        return;
    }
    panel_.kontynuuj();
}

} // namespace korvane
