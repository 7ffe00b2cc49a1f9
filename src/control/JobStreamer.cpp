#include "control/JobStreamer.h"

#include "control/JobBuilder.h"
#include "control/ResumePoint.h"
#include "control/StartMaszyny.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "machine/Identification.h"
#include "machine/JobRecordCheck.h"
#include "machine/LinkErrors.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/TransmitArm.h"
#include "machine/Usb.h"
#include "output/DaneWyjsciowe.h"
#include "platform/MainLoop.h"

#include <algorithm>
#include <thread>

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

// The control panel's timer while a job file is open.
constexpr std::chrono::milliseconds tickInterval{10};
// How long the first connection to a machine on the network may take.
constexpr std::chrono::seconds connectWait{5};

struct Verdict {
    StreamResult result = StreamResult::done;
    std::string text = "done";
};

// What the run learnt on the way: the points of a job it wrote.
struct RunState {
    bool prepared = false; // the machine was prepared: it may have moved
    bool streamed = false; // records went out
    std::vector<JobPointMark> marks;
};

// The program's machine link and wait limit for one run.
class LinkInstallation {
  public:
    LinkInstallation(MachineLink link, std::chrono::milliseconds waitLimit)
        : waitLimit_(machineWaitLimit) {
        machineWaitLimit = waitLimit;
        ethernetLink.reset();
        usbLink = std::make_unique<TfUsb>(std::move(link.usb));
        if (!link.host.empty()) {
            ethernetLink = std::make_unique<TfEthernet>(link.host, link.ports);
            ethernetLink->wakeWatchdog();
            queueMainLoop().runUntil([] { return ethernetActive; }, connectWait);
        }
    }
    ~LinkInstallation() {
        transArm.stop();
        ethernetLink.reset();
        usbLink.reset();
        machineWaitLimit = waitLimit_;
    }
    LinkInstallation(const LinkInstallation&) = delete;
    LinkInstallation& operator=(const LinkInstallation&) = delete;

  private:
    std::chrono::milliseconds waitLimit_;
};

// The machine's own reasons to stop a job, from the last status read.
std::optional<Verdict> machineFault() {
    const auto s = plotstate.StateExtend;
    if (s & stateDriveError) {
        const int code = ReadDriverError();
        return Verdict{StreamResult::driveError, "drive error " + std::to_string(code) + " " +
                                                     DriverErrorAxes(driverErrorAxisMask)};
    }
    if (s & stateSpindleOverload) return Verdict{StreamResult::spindleOverload, "spindle overload"};
    if (s & stateStopButton)
        return Verdict{StreamResult::stopButton, "stopped with the machine's stop button"};
    if (s & stateJobInterrupted)
        return Verdict{StreamResult::interrupted, "interrupted by the machine"};
    return std::nullopt;
}

// One pass of the control panel's timer: events of the main loop, the
// watchdog woken while the network link is down.
void heartbeat() {
    queueMainLoop().drain();
    if (ethernetLink && !ethernetActive) ethernetLink->wakeWatchdog();
}

Verdict cannotOpen(const StreamRequest& request) {
    return {StreamResult::cannotOpen, "cannot open " + request.jobFile.string()};
}

Verdict connectionLost() {
    return {StreamResult::connectionLost, "connection lost"};
}

// After a lost echo the machine is stopped as soon as a link is up again.
Verdict echoLost(const StreamRequest& request) {
    const auto until = Clock::now() + request.timeout;
    while (!transArm.stopMachineAfterLostEcho() && Clock::now() < until) {
        std::this_thread::sleep_for(tickInterval);
        heartbeat();
    }
    if (transArm.lostEcho()->machineStopped) WaitIdle();
    return {StreamResult::echoLost, "echo lost (" + std::to_string(ethernetNoEcho) +
                                        ") after record " +
                                        std::to_string(transArm.lostEcho()->confirmedRecords)};
}

// Sends the job in the control panel's batches until the last record went out.
Verdict sendRecords(const StreamRequest& request, const TOperacjaDane& operation) {
    if (!transArm.start(operation, request.jobFile, request.windowCaption))
        return cannotOpen(request);
    auto next = Clock::now();
    auto lastAdvance = next;
    long long lastCount = 0;
    while (transArm.isOpen()) {
        next = std::max(next + tickInterval, Clock::now());
        std::this_thread::sleep_until(next);
        heartbeat();
        transArm.tick();
        if (transArm.licznik() != lastCount) {
            lastCount = transArm.licznik();
            lastAdvance = Clock::now();
        } else if (Clock::now() - lastAdvance > request.timeout) {
            return connectionLost();
        }
        const int failure = transArm.lastFailure();
        if (failure == badRecord) return {StreamResult::badRecord, "bad record in the job file"};
        if (!transArm.isOpen() && echoMismatch(failure))
            return {StreamResult::echoMismatch, "echo mismatch (" + std::to_string(failure) + ")"};
        if (transArm.lostEcho()) return echoLost(request);
        if (auto fault = machineFault()) return *fault;
        if (request.progress) request.progress({transArm.licznik(), transArm.progres(), false});
    }
    if (request.progress) request.progress({transArm.licznik(), transArm.progres(), true});
    return {};
}

// Waits until the machine reports no running job any more, or stood still (or
// out of reach) for the timeout.
Verdict awaitEnd(const StreamRequest& request) {
    auto lastChange = Clock::now();
    tPoint3d lastPosition = plotstate.realpos;
    for (;;) {
        std::this_thread::sleep_for(tickInterval);
        heartbeat();
        if (ReadStatus()) {
            if (auto fault = machineFault()) return *fault;
            if (!(plotstate.state & stateJobRunning)) break;
            ReadPositions();
            const tPoint3d p = plotstate.realpos;
            if (p.x != lastPosition.x || p.y != lastPosition.y || p.z != lastPosition.z) {
                lastPosition = p;
                lastChange = Clock::now();
            }
        }
        if (Clock::now() - lastChange > request.timeout)
            return ethernetLink && !ethernetActive
                       ? connectionLost()
                       : Verdict{StreamResult::didNotFinish, "machine did not finish"};
    }
    jobRunning = false;
    if (!WaitIdle()) return {StreamResult::didNotSettle, "machine did not settle"};
    return {};
}

// Connects, identifies and prepares the machine; then streams the job and
// waits for its end.
Verdict run(const StreamRequest& request, RunState& state) {
    // A job or output file that is not there leaves the machine untouched.
    const bool fromOutput = !request.outputFile.empty();
    std::error_code ec;
    if (fromOutput && !std::filesystem::is_regular_file(request.outputFile, ec))
        return {StreamResult::jobNotWritten, request.outputFile.string() + ": no such file"};
    if (fromOutput && !request.operation)
        return {StreamResult::jobNotWritten, "an output file needs its operation"};
    if (!fromOutput && !std::filesystem::is_regular_file(request.jobFile, ec))
        return cannotOpen(request);
    if (!linkUp()) return {StreamResult::noConnection, "no connection"};
    ReadStatus();
    ReadMachineInfo();
    try {
        IdentifyMachine();
    } catch (const std::exception& e) {
        return {StreamResult::identification, std::string("identification: ") + e.what()};
    }
    saveCachedProduct();

    // The job for this machine, or a check that the one given is for it:
    // before anything is sent.
    if (fromOutput) {
        JobRequest job;
        job.outputFile = request.outputFile;
        job.jobFile = request.jobFile;
        job.operation = *request.operation;
        job.safeHeight = request.safeHeight;
        job.gruboscPodkladki = request.gruboscPodkladki;
        job.startFigure = request.start.figure;
        job.startPoint = request.start.point;
        const JobBuildResult built = writeJob(job);
        if (!built.ok()) return {StreamResult::jobNotWritten, built.message};
        state.marks = built.marks;
    }
    const JobRecordCheck check = checkJobRecords(request.jobFile);
    if (check.problem)
        return {StreamResult::wrongMachine,
                "not a job for this machine (" + modelCode + "): " + *check.problem};
    if (check.records < recordsBeforeExecute)
        return {StreamResult::notStarted, "not started: the job holds " +
                                              std::to_string(check.records) +
                                              " records, the machine starts one from " +
                                              std::to_string(recordsBeforeExecute) + " on"};

    TOperacjaDane operation;
    if (request.operation) {
        operation = *request.operation;
    } else {
        operation.nazwa = request.jobFile.stem().string();
        operation.szybkoscPrzestawcza = machineParams.maxRapid;
    }
    state.prepared = true;
    if (!prepareMachineForJob(operation.szybkoscPrzestawcza, settings.printer3D))
        return {StreamResult::notAtStartPoint, "not at the start point"};
    state.streamed = true;
    if (Verdict v = sendRecords(request, operation); v.result != StreamResult::done) return v;
    return awaitEnd(request);
}

// The point of the output file to go on from, the machine stopped with the
// tool at (x, y) holding at most the records up to `lastRecord`; none when the
// file cannot be read again.
std::optional<JobPoint> resumePoint(const StreamRequest& request,
                                    const std::vector<JobPointMark>& marks, long long lastRecord,
                                    double x, double y) {
    tWy reader;
    try {
        reader.wczytajPlik(request.outputFile, -1);
    } catch (const OutputFileError&) {
        return std::nullopt;
    }
    return resumePointAfterStop(marks, lastRecord, reader.ListaFigur, x, y).value_or(request.start);
}

} // namespace

StreamOutcome streamJob(MachineLink link, const StreamRequest& request) {
    LinkInstallation installed(std::move(link), request.timeout);
    safeHeight = request.safeHeight;
    const auto begin = Clock::now();
    RunState state;
    const Verdict verdict = run(request, state);
    transArm.stop();
    // A job that went wrong is stopped; it stays stored and can be continued
    // or replaced by a new start.
    if (state.streamed && verdict.result != StreamResult::done && linkUp()) {
        SendCommand("Q");
        WaitIdle();
        // The machine finishes the record under way, a pause too, before its
        // program stops: only then does the tool stand where the job goes on.
        const auto until = Clock::now() + request.timeout;
        while (ReadStatus() && (plotstate.state & (stateMoving | stateJobRunning)) &&
               Clock::now() < until)
            PauseForMachine(tickInterval);
    }
    StreamOutcome outcome;
    outcome.result = verdict.result;
    outcome.text = verdict.text;
    outcome.records = transArm.licznik();
    if (state.prepared && linkUp()) {
        ReadStatus();
        ReadPositions();
        ReadWorkOrigin();
        outcome.position = ToolPosition{(plotstate.abspos.x - plotstate.pos0.x) / 100.0,
                                        (plotstate.abspos.y - plotstate.pos0.y) / 100.0,
                                        (plotstate.pos0.z + plotstate.abspos.z) / 100.0};
    }
    outcome.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    // The record whose echo was lost or wrong may be on the machine; beyond
    // it none is.
    long long lastRecord = transArm.licznik();
    if (const auto& lost = transArm.lostEcho()) {
        outcome.confirmedRecords = lost->confirmedRecords;
        lastRecord = lost->confirmedRecords;
    }
    // A job that ran to its end but left the machine unsettled is done with;
    // one that never went out goes on from its own start.
    const bool cutShort = !outcome.ok() && outcome.result != StreamResult::didNotSettle;
    if (cutShort && !state.marks.empty()) {
        if (!state.streamed)
            outcome.resumeAt = request.start;
        else if (outcome.position)
            outcome.resumeAt = resumePoint(request, state.marks, lastRecord, outcome.position->x,
                                           outcome.position->y);
    }
    return outcome;
}

} // namespace korvane
