// korvane3d-cli job: an output path file into the machine's job file.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"
#include "MachineOptions.h"

#include "control/JobBuilder.h"
#include "foundation/NumberText.h"
#include "machine/FirmwareVersion.h"

#include <cstdio>

namespace korvane::cli {

namespace {

int usage(const std::string& text) {
    std::fprintf(stderr, "job: %s\n", text.c_str());
    return 2;
}

int fail(const std::string& text) {
    std::fprintf(stderr, "job: %s\n", text.c_str());
    return 1;
}

int runJob(const CommandArgs& args) {
    if (args.words.empty() || args.words[0].rfind("--", 0) == 0)
        return usage("an output file is needed");
    if (const std::string problem =
            args.problem({"--operation", "-o", "--machine", "--firmware", "--safe-height",
                          "--substrate", "--start-figure", "--start-point"},
                         {"--json"});
        !problem.empty())
        return usage(problem);
    JobRequest request;
    request.outputFile = args.words[0];
    request.jobFile = args.value("-o");
    const std::string operationName = args.value("--operation");
    if (operationName.empty()) return usage("--operation NAME is needed");
    if (request.jobFile.empty()) return usage("-o FILE is needed");
    const auto startFigure = indexOption(args, "--start-figure");
    const auto startPoint = indexOption(args, "--start-point");
    if (!startFigure || !startPoint)
        return usage("--start-figure and --start-point take a number from 0");
    request.startFigure = static_cast<std::size_t>(*startFigure);
    request.startPoint = static_cast<std::size_t>(*startPoint);
    const auto safeHeight = safeHeightOption(args);
    if (!safeHeight) return usage("--safe-height: expected a positive number of millimetres");
    request.safeHeight = *safeHeight;
    const auto substrate = substrateOption(args);
    if (!substrate) return usage("--substrate: expected millimetres from 0");
    request.gruboscPodkladki = *substrate;
    request.machine.product = args.value("--machine");
    if (args.has("--firmware")) {
        const auto firmware = parseFirmwareVersion(args.value("--firmware"));
        if (!firmware) return usage("--firmware: expected X.Y.Z, got " + args.value("--firmware"));
        request.machine.firmware = *firmware;
    }

    if (!startBatch()) return 1;
    const TOperacjaDane* operation = findOperation(operationName);
    if (!operation) return fail("no operation named " + operationName + " in the library");
    request.operation = *operation;
    const JobBuildResult job = buildJob(request);
    if (!job.ok())
        return fail(job.failure == JobBuildFailure::belowPaths
                        ? job.message + "; give --safe-height"
                        : job.message);

    if (args.has("--json")) {
        Json shown;
        shown["job"] = {{"records", job.records}, {"bytes", job.bytes}};
        shown["file"] = request.jobFile.string();
        shown["machine"] = job.modelCode;
        shown["safeHeight"] = request.safeHeight;
        printJson(shown);
    } else {
        std::printf("%s: %lld records, %lld bytes (machine %s, safe height %s mm)\n",
                    request.jobFile.string().c_str(), job.records, job.bytes, job.modelCode.c_str(),
                    formatReal(request.safeHeight).c_str());
    }
    return 0;
}

const CommandRegistration job{
    "job",
    "job OUTPUT.out --operation NAME [--machine PRODUCT --firmware X.Y.Z] [--safe-height MM]\n"
    "      [--substrate MM] [--start-figure F --start-point P] -o out.bin [--json]\n"
    "      the machine's job file",
    runJob};

} // namespace

} // namespace korvane::cli
