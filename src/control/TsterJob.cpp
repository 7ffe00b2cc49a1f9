#include "control/Tster.h"

#include "control/BaseCheck.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Omron3g3jv.h"
#include "machine/Ploter.h"
#include "machine/TransmitArm.h"

#include <chrono>
#include <ctime>

// Pause, continue and the end of a job, and the machine's own buttons.
namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string spindle(int on, int slot) {
    std::string cmd = "R";
    appendByte(cmd, on);
    appendByte(cmd, slot);
    return cmd;
}

std::string dateTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

void noLink(const char* captionKey) {
    showMessage(txt("Ploter", "brakLacznosciZploterem"), true, txt("Control_panel", captionKey));
}

} // namespace

void Tster::wstrzymaj() {
    ReadStatus();
    if (!linkUp()) return noLink("wstrzymaj");
    if (!(plotstate.state & stateJobRunning)) return;
    SendCommand("Q");
    WaitIdle();
    // The machine finishes the record under way before its program stops.
    const auto until = Clock::now() + machineWaitLimit;
    while (ReadStatus() && (plotstate.state & (stateMoving | stateJobRunning)) &&
           Clock::now() < until)
        PauseForMachine(10ms);
    PauseForMachine(100ms);
    SendCommand(SlotCommand(0));
    PauseForMachine(100ms);
    WaitIdle();
    ReadPositions();
    ReadWorkOrigin();
    const tplotstate& s = plotstate;
    breakpoint_ = {s.abspos.x - s.pos0.x, s.abspos.y - s.pos0.y, s.abspos.z + s.pos0.z};
    if (settings.printer3D)
        MoveToPoint((s.pos0.z + s.abspos.z) / 100 + 0.01, breakpoint_.y / 100, breakpoint_.x / 100);
    MoveToPoint(safeHeight, breakpoint_.y / 100, breakpoint_.x / 100);
    WaitIdle();
    if (!extendedStatus) PauseForMachine(10ms);
    SendCommand(spindle(0, 1));
    if (!extendedStatus) PauseForMachine(10ms);
    SendCommand(SlotCommand(2));
    if (!extendedStatus) PauseForMachine(10ms);
    if (!machineParams.newSpeedEncoding) SendCommand(std::string("S\0", 2));
    SendCommand(spindle(0, 2));
    WaitInverterStop();
    jobPaused = true;
    showStatusText(txt("Control_panel", "obrobkaNaMaszynieWstrzymana"));
    jobRunning = false;
    if (settings.printer3D) {
        std::string cmd = "S3t";
        appendFloat32(cmd, headStandby[0]);
        SendCommand(PadCommand16(cmd));
    }
}

bool Tster::resumeAt(double z, double y, double x, bool afterOwnPause) {
    WaitIdle();
    ReadStatus();
    ReadPositions();
    ReadWorkOrigin();
    SendCommand(SlotCommand(0));
    if (afterOwnPause) PauseForMachine(100ms);
    SendCommand(spindle(1, 1));
    if (!settings.printer3D) {
        // The spindle comes up to speed before the tool goes down.
        if (!extendedStatus || modelVariant)
            PauseForMachine(100ms);
        else
            SendCommand("Sfw");
    }
    MoveToPoint(z, y, x);
    WaitIdle();
    SendCommand(SlotCommand(1));
    WaitIdle();
    return SendCommand("K") == 0;
}

void Tster::kontynuuj() {
    ReadStatus();
    if (!linkUp()) return noLink("kontynuuj");
    const auto s = plotstate.state;
    if (s & (stateJobRunning | stateMoving)) return;
    if (jobPaused && ((s & stateJobStored) || continueWithoutStoredJob)) {
        resumeAt(breakpoint_.z / 100, breakpoint_.y / 100, breakpoint_.x / 100, true);
        jobPaused = false;
        showStatusText(txt("Control_panel", "obrobkaNaMaszynieWtoku"));
        jobRunning = true;
    } else if (!jobPaused && (s & stateJobStored) && (s & stateJobInterrupted)) {
        // The machine stopped the job itself; the tool re-enters at the work
        // origin. The job runs again, so that its end is noticed like any other.
        if (resumeAt(safeHeight, 0, 0, false)) jobRunning = true;
    }
}

void Tster::machineEvents() {
    const bool stopAsked = stopRequest;
    stopRequest = false;
    if (!linkUp()) return;
    const std::uint64_t bits = plotstate.StateExtend;
    const std::uint64_t risen = bits & ~seenEvents_;
    seenEvents_ = bits;
    if ((risen & stateStartButton) && actions.start) actions.start();
    if ((risen & stateStopButton) || stopAsked) {
        const bool wasRunning = plotstate.state & stateJobRunning;
        wstrzymaj();
        // A paused job says so; only a job that was not paused is called ended.
        if (wasRunning || (risen & stateStopButton))
            showStatusText(txt("Control_panel", jobPaused ? "obrobkaNaMaszynieWstrzymana"
                                                          : "obrobkaNaMaszynieZakonczona"));
        if (bits & stateSpindleOverload)
            showMessage(txt("Control_panel", "przeciazenieWrzeciona"), true);
    }
    if (risen & stateDriveError) {
        const int code = ReadDriverError();
        showMessage(txt("Other", "driverError") + " (" + std::to_string(code) +
                        ") : " + DriverErrorAxes(driverErrorAxisMask) + "\n\r" +
                        txt("Other", "driverErrorDescription"),
                    true, "Stop");
    }
    if ((risen & stateContinueButton) && actions.continueJob) actions.continueJob();
}

void Tster::endOfJob() {
    showStatusText(txt("Control_panel", "obrobkaNaMaszynieZakonczona"));
    if (jobLogOn)
        writeLogValue(jobLogSection, " koniec: " + operWtoku.nazwa + " " + dateTimeText(), "");
    baseCheck.endOfJob(WallClock::now());
    jobRunning = false;
    if (settings.powiadomKoniecObrobki)
        notifyNetSend(settings.netSendOdbiorca,
                      std::string(applicationTitle) + " : " + txt("Other", "koniecObrobki"));
    writeReportLine("Koniec Obrobki");
    if (actions.jobEnded) actions.jobEnded();
}

} // namespace korvane
