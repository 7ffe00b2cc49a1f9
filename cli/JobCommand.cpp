// korvane3d-cli job: an output path file into the machine's job file.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"
#include "MachineOptions.h"

#include "foundation/MachineParams.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/JobFile.h"
#include "machine/MachineState.h"
#include "output/DaneWyjsciowe.h"

#include <cstdio>

namespace korvane::cli {

namespace {

int fail(const std::string& text) {
    std::fprintf(stderr, "job: %s\n", text.c_str());
    return 1;
}

std::optional<long long> indexOption(const CommandArgs& args, const char* flag) {
    if (!args.has(flag)) return 0;
    const auto v = parseInteger(args.value(flag));
    if (!v || *v < 0) return std::nullopt;
    return *v;
}

int runJob(const CommandArgs& args) {
    if (args.words.empty() || args.words[0].rfind("--", 0) == 0)
        return fail("an output file is needed");
    const std::filesystem::path input = args.words[0];
    const std::string operationName = args.value("--operation");
    const std::filesystem::path output = args.value("-o");
    if (operationName.empty()) return fail("--operation NAME is needed");
    if (output.empty()) return fail("-o FILE is needed");
    const auto startFigure = indexOption(args, "--start-figure");
    const auto startPoint = indexOption(args, "--start-point");
    if (!startFigure || !startPoint)
        return fail("--start-figure and --start-point take a number from 0");
    if (!startBatch()) return 1;
    if (!identifyFromOptions(args) || !safeHeightFromOptions(args)) return 1;
    const TOperacjaDane* operation = findOperation(operationName);
    if (!operation) return fail("no operation named " + operationName + " in the library");

    tWy reader;
    try {
        reader.wczytajPlik(input, -1);
    } catch (const OutputFileError& e) {
        return fail(e.what());
    }
    if (reader.ListaFigur.empty()) return fail("no figures in " + input.string());
    if (static_cast<std::size_t>(*startFigure) >= reader.ListaFigur.size())
        return fail("--start-figure beyond the last figure");
    // The job starts and ends at the safe height: it must clear every path.
    if (safeHeight < reader.max.z + transferMargin)
        return fail("the safe height of " + formatReal(safeHeight) + " mm is below the paths (" +
                    formatReal(reader.max.z + transferMargin) + " mm); give --safe-height");

    TJobContext context;
    context.printer3D = settings.printer3D;
    context.pathSmoothing = operation->idTyp != 3 && operation->idTyp != 4 && smoothing;
    TJobWriter writer(output, *operation, context);
    try {
        writer.WriteJobHeader();
        for (std::size_t i = static_cast<std::size_t>(*startFigure); i < reader.ListaFigur.size();
             ++i)
            writer.WriteJobFigure(*reader.ListaFigur[i], i == static_cast<std::size_t>(*startFigure)
                                                             ? static_cast<int>(*startPoint)
                                                             : 0);
        writer.WriteJobTrailer();
    } catch (const std::exception& e) {
        return fail(output.string() + ": " + e.what());
    }

    if (args.has("--json")) {
        JsonWriter j;
        j.beginObject()
            .beginObject("job")
            .integer("records", writer.records())
            .integer("bytes", writer.bytes())
            .endObject()
            .string("file", output.string())
            .string("machine", modelCode)
            .number("safeHeight", safeHeight)
            .endObject();
        std::printf("%s\n", j.text().c_str());
    } else {
        std::printf("%s: %lld records, %lld bytes (machine %s, safe height %s mm)\n",
                    output.string().c_str(), writer.records(), writer.bytes(), modelCode.c_str(),
                    formatReal(safeHeight).c_str());
    }
    return 0;
}

const CommandRegistration job{
    "job",
    "job OUTPUT.out --operation NAME [--machine PRODUCT --firmware X.Y.Z] [--safe-height MM]\n"
    "      [--start-figure F --start-point P] -o out.bin [--json]   the machine's job file",
    runJob};

} // namespace

} // namespace korvane::cli
