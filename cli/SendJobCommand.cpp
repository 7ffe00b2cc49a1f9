// korvane3d-cli send: streams a job file to a machine (or the simulator in
// process) as the control panel does, and waits for the end of the job.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"
#include "MachineOptions.h"
#include "SimHidBackend.h"
#include "SimMachine.h"

#include "control/StartMaszyny.h"
#include "foundation/Interfejs.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "machine/Ethernet.h"
#include "machine/Identification.h"
#include "machine/LibusbHidBackend.h"
#include "machine/MachineModels.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/TransmitArm.h"
#include "machine/Usb.h"
#include "platform/MainLoop.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace korvane::cli {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds tickInterval{10};

struct Outcome {
    std::string result = "done";
    bool ok() const { return result == "done"; }
};

// The machine's own reasons to stop a job, from the last status read.
std::string machineFault() {
    const auto s = plotstate.StateExtend;
    if (s & stateDriveError) {
        const int code = ethernetActive ? 0 : ReadDriverError();
        return "drive error " + std::to_string(code) + " " + DriverErrorAxes(driverErrorAxisMask);
    }
    if (s & stateSpindleOverload) return "spindle overload";
    if (s & stateJobInterrupted) return "interrupted by the machine";
    return {};
}

// One pass of the control panel's timer: events of the main loop, the watchdog.
void heartbeat() {
    queueMainLoop().drain();
    if (ethernetLink && !ethernetActive) ethernetLink->wakeWatchdog();
}

Outcome stream(const std::filesystem::path& job, const TOperacjaDane& op,
               std::chrono::seconds timeout, bool progress) {
    Outcome outcome;
    if (!transArm.start(op, job)) return {"cannot open " + job.string()};
    auto next = Clock::now();
    auto lastAdvance = Clock::now();
    auto lastPrint = Clock::now();
    long long lastCount = 0;
    while (transArm.isOpen()) {
        next = std::max(next + tickInterval, Clock::now());
        std::this_thread::sleep_until(next);
        heartbeat();
        transArm.tick();
        const auto now = Clock::now();
        if (transArm.licznik() != lastCount) {
            lastCount = transArm.licznik();
            lastAdvance = now;
        } else if (now - lastAdvance > timeout) {
            transArm.stop();
            return {"connection lost"};
        }
        if (transArm.lastFailure() == badRecord) {
            transArm.stop();
            return {"bad record in the job file"};
        }
        if (const int f = transArm.lastFailure(); !transArm.isOpen() && (f == 102 || f == 103))
            return {"echo mismatch (" + std::to_string(f) + ")"};
        if (const std::string fault = machineFault(); !fault.empty()) {
            transArm.stop();
            return {fault};
        }
        if (progress && now - lastPrint > std::chrono::milliseconds(250)) {
            std::fprintf(stderr, "\rsent %lld records (%.0f%%)", transArm.licznik(),
                         transArm.progres());
            lastPrint = now;
        }
    }
    if (progress)
        std::fprintf(stderr, "\rsent %lld records (%.0f%%)\n", transArm.licznik(),
                     transArm.progres());
    if (transArm.licznik() < 17) return {"not started: fewer than 17 records"};

    // The end of the job: the machine reports no running job any more.
    auto lastChange = Clock::now();
    tPoint3d lastPosition = plotstate.realpos;
    for (;;) {
        std::this_thread::sleep_for(tickInterval);
        heartbeat();
        if (ReadStatus()) {
            if (const std::string fault = machineFault(); !fault.empty()) return {fault};
            if (!(plotstate.state & stateJobRunning)) break;
            ReadPositions();
            const tPoint3d p = plotstate.realpos;
            if (p.x != lastPosition.x || p.y != lastPosition.y || p.z != lastPosition.z) {
                lastPosition = p;
                lastChange = Clock::now();
            }
        }
        if (Clock::now() - lastChange > timeout)
            return {ethernetLink && !ethernetActive ? "connection lost" : "machine did not finish"};
    }
    jobRunning = false;
    if (!WaitIdle()) return {"machine did not settle"};
    return outcome;
}

int runSend(const CommandArgs& args) {
    const bool json = args.has("--json");
    auto finish = [&](const Outcome& o, double seconds) {
        if (json) {
            JsonWriter j;
            j.beginObject()
                .beginObject("send")
                .integer("records", transArm.licznik())
                .number("seconds", seconds)
                .string("result", o.result)
                .endObject()
                .beginObject("position")
                .number("x", (plotstate.abspos.x - plotstate.pos0.x) / 100.0)
                .number("y", (plotstate.abspos.y - plotstate.pos0.y) / 100.0)
                .number("z", (plotstate.pos0.z + plotstate.abspos.z) / 100.0)
                .endObject()
                .endObject();
            std::printf("%s\n", j.text().c_str());
        } else {
            std::printf("%lld records in %.2f s: %s\n", transArm.licznik(), seconds,
                        o.result.c_str());
        }
        transArm.stop();
        ethernetLink.reset();
        usbLink.reset();
        return o.ok() ? 0 : 1;
    };
    if (args.words.empty() || args.words[0].rfind("--", 0) == 0) {
        std::fprintf(stderr, "send: a job file is needed\n");
        return 2;
    }
    const std::filesystem::path job = args.words[0];
    const bool simulated = args.has("--sim");
    const std::string host = args.value("--host");
    if (simulated == !host.empty()) {
        std::fprintf(stderr, "send: give either --host HOST or --sim\n");
        return 2;
    }
    const auto timeoutValue = parseInteger(args.has("--timeout") ? args.value("--timeout") : "60");
    if (!timeoutValue || *timeoutValue <= 0) {
        std::fprintf(stderr, "send: --timeout takes seconds\n");
        return 2;
    }
    const std::chrono::seconds timeout(*timeoutValue);
    if (!startBatch() || !safeHeightFromOptions(args)) return 1;
    machineWaitLimit = timeout;

    std::shared_ptr<sim::SimMachine> simMachine;
    if (simulated) {
        sim::SimConfig c;
        if (args.has("--machine")) c.product = args.value("--machine");
        if (args.has("--firmware")) {
            if (!parseFirmware(args.value("--firmware"))) {
                std::fprintf(stderr, "send: --firmware: expected X.Y.Z\n");
                return 2;
            }
            c.fwMajor = fwMajor;
            c.fwMinor = fwMinor;
            c.fwBuild = fwBuild;
        }
        if (args.has("--time-scale")) {
            const auto scale = parseReal(args.value("--time-scale"));
            if (!scale || *scale <= 0) {
                std::fprintf(stderr, "send: --time-scale takes a positive number\n");
                return 2;
            }
            c.timeScale = *scale;
        }
        c.trace = args.value("--trace");
        simMachine = std::make_shared<sim::SimMachine>(c);
        usbLink = std::make_unique<TfUsb>(std::make_unique<sim::SimHidBackend>(simMachine));
    } else {
        MachinePorts ports = machinePortsOption();
        if (args.has("--port")) {
            const auto port = parseInteger(args.value("--port"));
            if (!port || *port < 1 || *port > 65535) {
                std::fprintf(stderr, "send: --port takes a port number\n");
                return 2;
            }
            ports.command = static_cast<std::uint16_t>(*port);
        }
        if (args.has("--info-port")) {
            const auto port = parseInteger(args.value("--info-port"));
            if (!port || *port < 1 || *port > 65535) {
                std::fprintf(stderr, "send: --info-port takes a port number\n");
                return 2;
            }
            ports.info = static_cast<std::uint16_t>(*port);
        }
        usbLink = std::make_unique<TfUsb>(makeLibusbHidBackend());
        ethernetLink = std::make_unique<TfEthernet>(host, ports);
        ethernetLink->wakeWatchdog();
        queueMainLoop().runUntil([] { return ethernetActive; }, std::chrono::seconds(5));
    }
    const auto begin = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - begin).count(); };
    if (!linkUp()) return finish({"no connection"}, elapsed());

    ReadStatus();
    ReadMachineInfo();
    try {
        IdentifyMachine();
    } catch (const std::exception& e) {
        return finish({std::string("identification: ") + e.what()}, elapsed());
    }
    saveCachedProduct();

    TOperacjaDane op;
    op.nazwa = job.stem().string();
    op.szybkoscPrzestawcza = machineParams.maxRapid;
    if (args.has("--operation")) {
        const TOperacjaDane* found = findOperation(args.value("--operation"));
        if (!found) {
            std::fprintf(stderr, "send: no operation named %s\n",
                         args.value("--operation").c_str());
            return finish({"no such operation"}, elapsed());
        }
        op = *found;
    }
    if (!prepareMachineForJob(op.szybkoscPrzestawcza, settings.printer3D))
        return finish({"not at the start point"}, elapsed());
    const Outcome outcome = stream(job, op, timeout, !json);
    // A job that went wrong is stopped; it stays stored and can be continued
    // or replaced by a new start.
    if (!outcome.ok() && linkUp()) {
        SendCommand("Q");
        WaitIdle();
    }
    ReadStatus();
    ReadPositions();
    ReadWorkOrigin();
    return finish(outcome, elapsed());
}

const CommandRegistration send{
    "send",
    "send JOB.bin (--host H [--port P] [--info-port P] | --sim [--machine PRODUCT] [--firmware "
    "X.Y.Z]\n"
    "      [--time-scale F] [--trace FILE]) [--operation NAME] [--safe-height MM] [--timeout S] "
    "[--json]\n"
    "      streams a job file to the machine and waits for the end of the job",
    runSend};

} // namespace

} // namespace korvane::cli
