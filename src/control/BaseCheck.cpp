#include "control/BaseCheck.h"

#include "foundation/CommandLine.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "libraries/Frezy.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "platform/Desktop.h"
#include "platform/TextAppend.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

namespace korvane {

BaseCheck baseCheck;

namespace {

constexpr double probeLimit = 10; // mm a bounded probe may travel each way
constexpr double allowedError = 1;

std::tm localTime(WallClock::time_point t) {
    const std::time_t seconds = WallClock::to_time_t(t);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

std::string formatTime(WallClock::time_point t, const char* pattern) {
    const std::tm parts = localTime(t);
    char text[64];
    std::strftime(text, sizeof text, pattern, &parts);
    return text;
}

std::string dateTime(WallClock::time_point t) {
    return formatTime(t, "%Y-%m-%d %H:%M:%S");
}

std::string fixed(double v, int width, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%*.*f", width, decimals, v);
    return text;
}

std::string deviation(double v, bool empty) {
    return empty ? std::string() : fixed(v, 8, 3);
}

std::string controllerText() {
    return std::string(extendedStatus ? "Cortex" : "ARM") + " " + std::to_string(fwMajor) + "." +
           std::to_string(fwMinor) + "." + std::to_string(fwBuild);
}

bool referencePressed(int axis) {
    return (ReadDriverError() & axis) != 0;
}

void sleepMs(int ms) {
    PauseForMachine(std::chrono::milliseconds(ms));
}

float& component(TrPkt3D& p, int axis) {
    return axis == 1 ? p.x : axis == 2 ? p.y : p.z;
}

} // namespace

TMinMax noDeviations() {
    constexpr double high = std::numeric_limits<double>::max();
    constexpr double low = std::numeric_limits<double>::lowest();
    return {high, high, high, low, low, low};
}

void widenDeviations(TMinMax& d, double x, double y, double z) {
    d.minX = std::min(d.minX, x);
    d.maxX = std::max(d.maxX, x);
    d.minY = std::min(d.minY, y);
    d.maxY = std::max(d.maxY, y);
    d.minZ = std::min(d.minZ, z);
    d.maxZ = std::max(d.maxZ, z);
}

std::string checkFileName(WallClock::time_point start) {
    return "CheckBase" + formatTime(start, "%Y-%m-%d.%H-%M-%S") + ".txt";
}

bool baseCheckFails(double x, double y, double z) {
    return std::fabs(x) > allowedError || std::fabs(y) > allowedError ||
           std::fabs(z) > allowedError;
}

std::string deviationLines(const TMinMax& d) {
    const bool e = d.minX > d.maxX;
    return "odchyłka min X " + deviation(d.minX, e) + "\r\nodchyłka max X " + deviation(d.maxX, e) +
           "\r\nodchyłka min Y " + deviation(d.minY, e) + "\r\nodchyłka max Y " +
           deviation(d.maxY, e) + "\r\nodchyłka min Z " + deviation(d.minZ, e) +
           "\r\nodchyłka max Z " + deviation(d.maxZ, e) + "\r\n";
}

bool ProbeReference(int axis, bool bounded, TrPkt3D& target) {
    const double step = 1 / (machineParams.stepsX * 100);
    // X and Y leave their switch downwards, Z upwards.
    const double away = axis == 4 ? step : -step;
    float& coordinate = component(target, axis);
    // A switch that never changes must not keep the machine stepping: the
    // unbounded probe ends at the axis's travel.
    const double limit = bounded ? probeLimit : component(workArea, axis);
    // A step the machine did not make (no link, the end of its travel) ends
    // the probe as well.
    auto moveThere = [&] { return MoveToPointDirect(target.z, target.y, target.x); };
    double travelled = 0;
    do {
        const double stride = bounded ? 10 : 1;
        coordinate = static_cast<float>(coordinate + away * stride);
        if (!moveThere()) return false;
        WaitIdle();
        travelled += step * stride;
        if (travelled > limit) return false;
    } while (referencePressed(axis));
    sleepMs(200);
    travelled = 0;
    do {
        coordinate = static_cast<float>(coordinate - away);
        if (!moveThere()) return false;
        sleepMs(1);
        WaitIdle();
        if (bounded) sleepMs(1);
        travelled += step;
        if (travelled > limit) return false;
    } while (!referencePressed(axis));
    return true;
}

ReferenceProbe probeReferences(bool bounded) {
    TrPkt3D target{0, 0, 0};
    ReferenceProbe p;
    p.found = true;
    for (int axis : {1, 2, 4})
        if (p.found) p.found = ProbeReference(axis, bounded, target);
    WaitIdle();
    ReadPositions();
    p.x = plotstate.abspos.x / 100;
    p.y = plotstate.abspos.y / 100;
    p.z = plotstate.abspos.z / 100;
    return p;
}

std::string probeText(const ReferenceProbe& p) {
    return "  baza=  " + fixed(p.x, 10, 3) + fixed(p.y, 10, 3) + fixed(p.z, 10, 3);
}

BaseCheckJob baseCheckJob(const TOperacjaDane& op, const std::string& caption) {
    std::string text =
        "  Vr=" + formatReal(op.szybkosc) + " Vp=" + formatReal(op.szybkoscPrzestawcza);
    switch (op.idTyp) {
    case opRoughing:
        text += " szer.= " + formatReal(op.warstwaSzer) + " gł.=" + formatReal(op.warstwaGrubosc);
        break;
    case opLayeredFinishing:
        text += " gł.= " + formatReal(op.warstwaGrubosc);
        break;
    case opPlanes:
        text += " szer.= " + formatReal(op.warstwaSzer);
        break;
    case opHatching:
        text += " szer.= " + formatReal(op.warstwaSzer) + " kąt=" + formatReal(op.kat) +
                " poł.końce=" + (op.polaczoneKonce ? "True" : "False");
        break;
    default:
        break;
    }
    text += " naddatek = " + formatReal(op.zostawDoNastOper) +
            " wygładzanie = " + (smoothing ? "True" : "False");
    return {caption, project ? project->d.plikModelu : std::string(), op.nazwa, text,
            toolLibrary ? toolLibrary->dajOpisFrezaNaPodstId(op.narzedzie, true) : std::string()};
}

void BaseCheck::configureFromSwitches() {
    interval_ = std::chrono::minutes(0);
    if (const auto value = switchValue("CHECKBASE"))
        if (const auto minutes = parseInteger(*value); minutes && *minutes > 0)
            interval_ = std::chrono::minutes(*minutes);
    waitForManual_ = hasSwitch("CHECKBASE_WAIT");
}

void BaseCheck::append(const std::string& text) {
    appendFileText(ChkFile, text);
}

void BaseCheck::StartBaseCheckReport(const BaseCheckJob& job, WallClock::time_point now) {
    chkOdchylki = noDeviations();
    reportOpen_ = true;
    job_ = job;
    const std::string line1 =
        "[" + job.caption + ", " + plotstate.info1 + " " + controllerText() + "]";
    const TMachineParams& p = machineParams;
    const std::string line2 =
        "\n\r  Komputer: " + computerName() + "\n\r\n\r  " + job.modelFile + "\n\r  " +
        job.operationName + "\n\r" + job.operationText + "\n\r  " + job.toolDescription +
        "\n\r  WspolczynnikSzybkosciNaLukach = " + std::to_string(p.cornerCoefNormal) +
        "\n\r  WspolczynnikSzybkosciNaLukachWygladzanie = " +
        std::to_string(p.cornerCoefSmoothing) +
        "\n\r  WspolczynnikSzybkosciNaLukachDz = " + std::to_string(p.cornerCoefSteep) +
        "\n\r  Przyspieszenie = " + std::to_string(p.acceleration) +
        "\n\r  kat_tech_normalny_dz = " + formatReal(sharpCornerAngle) +
        "\n\r  kat_tech_normalny_plaski = " + formatReal(cornerAngle) +
        "\n\r  Rozdzielczość = " + formatReal(settings.rozdzielczosc);
    chkTime = startTime = now;
    ChkFile = dataFolder / checkFileName(startTime);
    append(line1 + "\r\n" + line2 + "\r\n============================= START: " + dateTime(now) +
           " =====================================\n\r\r\n");
}

bool BaseCheck::PeriodicBaseCheck(WallClock::time_point now, const std::function<TrPkt3D()>& pause,
                                  const std::function<void()>& resume) {
    if (!on() || !reportOpen_ || !(plotstate.StateExtend & stateJobRunning) ||
        now - chkTime <= interval_)
        return false;
    chkTime = now;
    const TrPkt3D breakpoint = pause();
    WaitIdle();
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - startTime).count();
    char since[32];
    std::snprintf(since, sizeof since, "%lld:%02lld:%02lld", static_cast<long long>(elapsed / 3600),
                  static_cast<long long>(elapsed / 60 % 60), static_cast<long long>(elapsed % 60));
    std::string line = std::string(since) + "   " + fixed(breakpoint.x / 100, 10, 3) +
                       fixed(breakpoint.y / 100, 10, 3) + fixed(breakpoint.z / 100, 10, 3);
    const ReferenceProbe found = probeReferences(true);
    append(line + probeText(found) + "\r\n");
    widenDeviations(chkOdchylki, found.x, found.y, found.z);
    // A switch not found within its 10 mm is as much a failed check as one
    // found too far away.
    if (!found.found || baseCheckFails(found.x, found.y, found.z)) {
        append("---- TEST ZOSTAŁ PRZERWANY - pomyłka powyżej 1mm ----\r\n\r\n" +
               deviationLines(chkOdchylki));
        WriteGlobalReport("Pomyłka");
        reportOpen_ = false;
        return true;
    }
    if (waitForManual_) showMessage("Czas na ręczne pomiary", false);
    resume();
    return true;
}

void BaseCheck::endOfJob(WallClock::time_point now) {
    if (!on() || !reportOpen_) return;
    reportOpen_ = false;
    append("----- Koniec obróbki " + dateTime(now) + " ------\r\n \r\n" +
           deviationLines(chkOdchylki));
    WriteGlobalReport("Ok");
}

void BaseCheck::WriteGlobalReport(const std::string& result) {
    const auto file = dataFolder / globalReportName;
    std::string text;
    if (!std::filesystem::exists(file))
        text = "Start;Projekt;Wynik;min odch. X;max odch. X;min odch. Y;max odch. Y;min odch. "
               "Z;max odch. Z;Procesor;Aplikacja;Frezarka;Przyspieszenie;"
               "WspolczynnikSzybkosciNaLukach;WspolczynnikSzybkosciNaLukachDz;"
               "kat_tech_normalny_dz;kat_tech_normalny_plaski;\r\n";
    const TMinMax& d = chkOdchylki;
    const bool e = d.minX > d.maxX;
    const TMachineParams& p = machineParams;
    const std::string fields[] = {dateTime(startTime),
                                  job_.modelFile,
                                  result,
                                  deviation(d.minX, e),
                                  deviation(d.maxX, e),
                                  deviation(d.minY, e),
                                  deviation(d.maxY, e),
                                  deviation(d.minZ, e),
                                  deviation(d.maxZ, e),
                                  controllerText(),
                                  job_.caption,
                                  plotstate.info1,
                                  std::to_string(p.acceleration),
                                  std::to_string(p.cornerCoefNormal),
                                  std::to_string(p.cornerCoefSteep),
                                  formatReal(sharpCornerAngle),
                                  formatReal(cornerAngle)};
    for (const auto& f : fields) text += f + ";";
    appendFileText(file, text + "\r\n");
}

} // namespace korvane
