// korvane3d-cli send: streams a job file, or the job written from an output
// path file for the machine identified, to a machine or to the simulated
// machine in process, and waits for the end of the job.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"
#include "MachineOptions.h"
#include "SimHidBackend.h"
#include "SimMachine.h"

#include "control/JobStreamer.h"
#include "foundation/NumberText.h"
#include "foundation/TextCompare.h"
#include "generation/ProgramImport.h"
#include "machine/FirmwareVersion.h"
#include "machine/JobFile.h"
#include "machine/LibusbHidBackend.h"
#include "output/DaneWyjsciowe.h"
#include "output/ProgramFeedsFile.h"

#include <cstdio>

namespace korvane::cli {

namespace {

using Clock = std::chrono::steady_clock;

int usage(const std::string& text) {
    std::fprintf(stderr, "send: %s\n", text.c_str());
    return 2;
}

// A port number after `flag` into `port`; false when malformed.
bool portOption(const CommandArgs& args, const char* flag, std::uint16_t& port) {
    if (!args.has(flag)) return true;
    const auto v = parseInteger(args.value(flag));
    if (!v || *v < 1 || *v > 65535) return false;
    port = static_cast<std::uint16_t>(*v);
    return true;
}

// The progress line on standard error, at most four times a second.
class ProgressLine {
  public:
    void operator()(const StreamProgress& p) {
        const auto now = Clock::now();
        if (!p.allSent && now - lastPrint_ < std::chrono::milliseconds(250)) return;
        std::fprintf(stderr, "\rsent %lld records (%.0f%%)%s", p.records, p.percent,
                     p.allSent ? "\n" : "");
        lastPrint_ = now;
    }

  private:
    Clock::time_point lastPrint_ = Clock::now();
};

int runSend(const CommandArgs& args) {
    if (args.words.empty() || args.words[0].rfind("--", 0) == 0)
        return usage("a job file (.bin), an output file (.out) or a G-code program is needed");
    if (const std::string problem =
            args.problem({"--host", "--port", "--info-port", "--machine", "--firmware",
                          "--time-scale", "--trace", "--operation", "--safe-height", "--substrate",
                          "--timeout", "--start-figure", "--start-point"},
                         {"--sim", "--json"});
        !problem.empty())
        return usage(problem);
    const bool json = args.has("--json");
    const bool simulated = args.has("--sim");
    const std::string host = args.value("--host");
    if (simulated == !host.empty()) return usage("give either --host HOST or --sim");
    if (simulated && (args.has("--port") || args.has("--info-port")))
        return usage("--port and --info-port go with --host");
    if (!simulated && (args.has("--machine") || args.has("--firmware") ||
                       args.has("--time-scale") || args.has("--trace")))
        return usage("--machine, --firmware, --time-scale and --trace go with --sim");
    StreamRequest request;
    const std::filesystem::path given = args.words[0];
    // An output path file becomes the job of the machine identified, written
    // where the start of machining writes it.
    // A G-code program is first read into an output file of its name.
    const bool program = isGCodeFile(given);
    const bool fromOutput = program || sameText(given.extension().string(), ".out");
    if (fromOutput)
        request.outputFile = given;
    else
        request.jobFile = given;
    const auto timeout = parseInteger(args.has("--timeout") ? args.value("--timeout") : "60");
    if (!timeout || *timeout <= 0) return usage("--timeout takes seconds");
    request.timeout = std::chrono::seconds(*timeout);
    const auto safeHeight = safeHeightOption(args);
    if (!safeHeight) return usage("--safe-height: expected a positive number of millimetres");
    request.safeHeight = *safeHeight;
    const auto substrate = substrateOption(args);
    if (!substrate) return usage("--substrate: expected millimetres from 0");
    if (!fromOutput && args.has("--substrate"))
        return usage("--substrate goes with an output file");
    request.gruboscPodkladki = *substrate;
    const auto startFigure = indexOption(args, "--start-figure");
    const auto startPoint = indexOption(args, "--start-point");
    if (!startFigure || !startPoint)
        return usage("--start-figure and --start-point take a number from 0");
    if (!fromOutput && (args.has("--start-figure") || args.has("--start-point")))
        return usage("--start-figure and --start-point go with an output file");
    request.start = {static_cast<std::size_t>(*startFigure), static_cast<std::size_t>(*startPoint)};

    sim::SimConfig simulation;
    MachinePorts ports = machinePortsOption();
    if (simulated) {
        if (args.has("--machine")) simulation.product = args.value("--machine");
        if (args.has("--firmware")) {
            const auto firmware = parseFirmwareVersion(args.value("--firmware"));
            if (!firmware)
                return usage("--firmware: expected X.Y.Z, got " + args.value("--firmware"));
            simulation.fwMajor = firmware->major;
            simulation.fwMinor = firmware->minor;
            simulation.fwBuild = firmware->build;
        }
        if (args.has("--time-scale")) {
            const auto scale = parseReal(args.value("--time-scale"));
            if (!scale || *scale <= 0) return usage("--time-scale takes a positive number");
            simulation.timeScale = *scale;
        }
        simulation.trace = args.value("--trace");
    } else {
        if (!portOption(args, "--port", ports.command)) return usage("--port takes a port number");
        if (!portOption(args, "--info-port", ports.info))
            return usage("--info-port takes a port number");
    }

    if (!startBatch()) return 1;
    request.windowCaption = TfGlowny::caption();
    if (fromOutput) request.jobFile = jobFilePath();
    if (program) {
        request.outputFile = outputFilePath(given.stem().string());
        try {
            std::filesystem::create_directories(request.outputFile.parent_path());
            if (importGCodeProgram(given, request.outputFile).figures.empty()) {
                std::fprintf(stderr, "send: %s has no cutting move\n", given.string().c_str());
                return 1;
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "send: %s, %s\n", given.string().c_str(), e.what());
            return 1;
        }
    }
    // An output file is machined with the operation of its name, as START finds
    // it; a program's output with its own feeds.
    const std::string operationName = args.has("--operation") ? args.value("--operation")
                                      : fromOutput            ? given.stem().string()
                                                              : std::string();
    const auto programFeeds = fromOutput ? readFeedsFile(request.outputFile) : std::nullopt;
    if (programFeeds && !args.has("--operation")) {
        request.operation = programOperation(operationName, *programFeeds);
    } else if (!operationName.empty()) {
        const TOperacjaDane* operation = findOperation(operationName);
        if (!operation) {
            std::fprintf(stderr, "send: no operation named %s in the library\n",
                         operationName.c_str());
            return 1;
        }
        request.operation = *operation;
    }
    if (!json) request.progress = ProgressLine();

    MachineLink link;
    if (simulated) {
        link.usb = std::make_unique<sim::SimHidBackend>(
            std::make_shared<sim::SimMachine>(std::move(simulation)));
    } else {
        link.usb = makeLibusbHidBackend();
        link.host = host;
        link.ports = ports;
    }
    const StreamOutcome outcome = streamJob(std::move(link), request);
    if (json) {
        Json shown;
        shown["send"] = {
            {"records", outcome.records}, {"seconds", outcome.seconds}, {"result", outcome.text}};
        if (const auto& p = outcome.position)
            shown["position"] = {{"x", p->x}, {"y", p->y}, {"z", p->z}};
        if (outcome.result == StreamResult::echoLost)
            shown["send"]["confirmed"] = outcome.confirmedRecords;
        if (outcome.resumeAt)
            shown["resume"] = {{"figure", outcome.resumeAt->figure},
                               {"point", outcome.resumeAt->point}};
        printJson(shown);
    } else {
        std::printf("%lld records in %.2f s: %s\n", outcome.records, outcome.seconds,
                    outcome.text.c_str());
        // A position the machine was not asked for (a job refused before
        // anything was sent, no connection) is not shown.
        if (const auto& p = outcome.position)
            std::printf("the machine stopped at x %.3f y %.3f mm from the work origin, z %.3f mm "
                        "above the table\n",
                        p->x, p->y, p->z);
        // A record whose echo was lost is not sent again: the job goes on
        // from where the tool stands, a segment it stopped on cut again whole.
        if (outcome.resumeAt)
            std::printf("go on from figure %zu point %zu: send %s --start-figure %zu "
                        "--start-point %zu\n",
                        outcome.resumeAt->figure, outcome.resumeAt->point, given.string().c_str(),
                        outcome.resumeAt->figure, outcome.resumeAt->point);
    }
    return outcome.ok() ? 0 : 1;
}

const CommandRegistration send{
    "send",
    "send (JOB.bin | OUTPUT.out | PROGRAM.nc) (--host H [--port P] [--info-port P] | --sim "
    "[--machine PRODUCT]\n"
    "      [--firmware X.Y.Z] [--time-scale F] [--trace FILE]) [--operation NAME] [--safe-height "
    "MM]\n"
    "      [--substrate MM] [--start-figure F --start-point P] [--timeout S] [--json]\n"
    "      streams a job file (or the job of an output file, written for the machine from\n"
    "      figure F point P on; or of a G-code program read into the output file of its\n"
    "      name, run at its own feeds) to the machine and waits for the end of the job",
    runSend};

} // namespace

} // namespace korvane::cli
