// korvane3d-cli gcode: an output path file as G-code for machines of other makes.
#include "Batch.h"
#include "Commands.h"
#include "MachineOptions.h"

#include "output/DaneWyjsciowe.h"
#include "output/GCodeExport.h"

#include <cstdio>
#include <filesystem>

namespace korvane::cli {

namespace {

int usage(const std::string& text) {
    std::fprintf(stderr, "gcode: %s\n", text.c_str());
    return 2;
}

int fail(const std::string& text) {
    std::fprintf(stderr, "gcode: %s\n", text.c_str());
    return 1;
}

int runGCode(const CommandArgs& args) {
    if (args.words.empty() || args.words[0].rfind("--", 0) == 0)
        return usage("an output file is needed");
    if (const std::string problem = args.problem({"--operation", "--dialect", "-o"}, {});
        !problem.empty())
        return usage(problem);
    const std::filesystem::path outputFile = args.words[0];
    const std::string operationName = args.value("--operation");
    const std::string target = args.value("-o");
    if (operationName.empty()) return usage("--operation NAME is needed");
    if (target.empty()) return usage("-o FILE is needed");
    const auto dialect = gcodeDialect(args.value("--dialect"));
    if (!dialect) return usage("--dialect grbl or --dialect linuxcnc is needed");

    if (!startBatch()) return 1;
    const TOperacjaDane* operation = findOperation(operationName);
    if (!operation) return fail("no operation named " + operationName + " in the library");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(outputFile, ec))
        return fail("no output file " + outputFile.string());
    tWy reader;
    try {
        reader.wczytajPlik(outputFile, -1);
        saveGCode(reader.ListaFigur, *operation, *dialect, target);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    std::printf("%s: %zu figures, %d points\n", target.c_str(), reader.ListaFigur.size(),
                reader.iloscPunktow);
    return 0;
}

const CommandRegistration gcode{"gcode",
                                "gcode OUTPUT.out --operation NAME --dialect grbl|linuxcnc -o "
                                "FILE.nc\n      the output file as G-code",
                                runGCode};

} // namespace

} // namespace korvane::cli
