// korvane3d-cli simulate: the material a project's build leaves, against the model.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"

#include "app/BuildSimulation.h"
#include "app/ModelLoading.h"
#include "foundation/DataFolders.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"
#include "output/DeviationPicture.h"
#include "platform/MainLoop.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace korvane::cli {

namespace {

constexpr std::chrono::minutes loadDeadline{10};

int usage(const std::string& text) {
    std::fprintf(stderr, "simulate: %s\n", text.c_str());
    return 2;
}

int fail(const std::string& text) {
    std::fprintf(stderr, "simulate: %s\n", text.c_str());
    return 1;
}

// Reads the project and looks for a model named relative to it beside it.
bool openProject(const std::string& file) {
    if (!project->PobierzZPliku(file)) return false;
    settings.plikProjektu = std::filesystem::absolute(file).string();
    const std::filesystem::path model = project->d.plikModelu;
    std::error_code ec;
    if (model.is_relative() && !std::filesystem::exists(model, ec)) {
        project->d.plikModelu =
            (std::filesystem::path(settings.plikProjektu).parent_path() / model).string();
        project->kopia.plikModelu = project->d.plikModelu;
    }
    return true;
}

void printFigures(const BuildSimulationInput& in, const BuildSimulationResult& r, double seconds,
                  bool json) {
    const DeviationFigures& f = r.map.figures;
    if (json) {
        Json operations = Json::array();
        for (const auto& o : in.operations) operations.push_back(o.nazwa);
        printJson(
            Json{{"cell", in.cell},
                 {"operations", operations},
                 {"allowance", r.allowance},
                 {"volumeRemoved", f.volumeRemoved},
                 {"largestMaterialLeft", f.largestMaterialLeft},
                 {"largestGouge", f.largestGouge},
                 {"gougePosition", {f.gougeX, f.gougeY}},
                 {"gougedArea", f.gougedArea},
                 {"largestMaterialLeftAboveReachable", f.largestLeftAboveReach},
                 {"materialLeftAboveReachablePosition", {f.leftAboveReachX, f.leftAboveReachY}},
                 {"largestThicknessLeftOnReachable", f.largestThicknessLeft},
                 {"thicknessLeftOnReachablePosition", {f.thicknessLeftX, f.thicknessLeftY}},
                 {"seconds", seconds}});
        return;
    }
    std::printf("cell %s mm, %zu operations, allowance %s mm\n", formatReal(in.cell).c_str(),
                in.operations.size(), formatReal(r.allowance).c_str());
    std::printf("volume removed %.1f mm3\nlargest material left %.3f mm\n", f.volumeRemoved,
                f.largestMaterialLeft);
    std::printf("largest gouge %.3f mm at X %.3f Y %.3f\ngouged area %.2f mm2 (deeper than "
                "%.2f mm)\n",
                f.largestGouge, f.gougeX, f.gougeY, f.gougedArea, gougeThreshold);
    std::printf("largest material left above the reachable surface %.3f mm at X %.3f Y %.3f\n",
                f.largestLeftAboveReach, f.leftAboveReachX, f.leftAboveReachY);
    std::printf("largest thickness left on it (square to it) %.3f mm at X %.3f Y %.3f\n",
                f.largestThicknessLeft, f.thicknessLeftX, f.thicknessLeftY);
}

int runSimulate(const CommandArgs& args) {
    // No file comes first: every word is a flag, three of them with a value.
    CommandArgs flags{{""}};
    flags.words.insert(flags.words.end(), args.words.begin(), args.words.end());
    if (const std::string problem = flags.problem({"--project", "--cell", "--image"}, {"--json"});
        !problem.empty())
        return usage(problem);
    const std::string projectFile = args.value("--project");
    if (projectFile.empty()) return usage("--project FILE is needed");
    std::optional<double> cell;
    if (args.has("--cell")) {
        cell = parseReal(args.value("--cell"));
        if (!cell || !(*cell >= 0.01 && *cell <= 10))
            return usage("--cell: expected millimetres from 0.01 to 10");
    }

    if (!startBatch()) return 1;
    if (!openProject(projectFile)) {
        const auto problem = projectFileProblem(projectFile);
        return fail(problem ? projectFile + " is not a project file: " + *problem
                            : "no project file " + projectFile);
    }
    if (!createOutputFolder()) return 1;
    if (cell) {
        pixelSize = *cell;
        effectiveResolution = 1 / *cell;
    }
    TRawDoPix raster;
    if (const ModelLoadOutcome loaded = loadProjectModel(project->d, raster, loadDeadline);
        !loaded.ok())
        return fail("cannot load the model " + project->d.plikModelu); // the reason went before
    if (!queueMainLoop().runUntil([] { return rasterReady || generationTerminate; },
                                  loadDeadline) ||
        !rasterReady)
        return fail("the model raster was not built");

    const auto started = std::chrono::steady_clock::now();
    BuildSimulationInput in;
    try {
        in = gatherBuildSimulation();
    } catch (const std::exception& e) {
        return fail(std::string(e.what()) + " (run generate first)");
    }
    const BuildSimulationResult r =
        simulateBuild(in, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (args.has("--image")) {
        try {
            saveDeviationPicture(r.map.deviation, r.remaining, in.cell, r.allowance,
                                 args.value("--image"));
        } catch (const std::exception& e) {
            return fail(e.what());
        }
    }
    printFigures(in, r, seconds, args.has("--json"));
    return 0;
}

const CommandRegistration simulate{
    "simulate",
    "simulate --project FILE [--cell MM] [--image out.png] [--json]\n"
    "      the material the build's output files leave, against the model",
    runSimulate};

} // namespace

} // namespace korvane::cli
