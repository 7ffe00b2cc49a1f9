// korvane3d-cli model: loads a model as the program does and prints its size.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"

#include "app/ModelLoading.h"
#include "foundation/State.h"

#include <cstdio>

namespace korvane::cli {

namespace {

constexpr std::chrono::minutes loadDeadline{10};

// Says why a load failed beyond the message the program showed (which gives
// the reader's own reason).
void explainLoadFailure(const ModelLoadOutcome& outcome, const std::string& file) {
    if (outcome.result == ModelLoadResult::timedOut)
        std::fprintf(stderr, "%s: loading did not end within %d minutes\n", file.c_str(),
                     static_cast<int>(loadDeadline.count()));
}

int runModel(const CommandArgs& args) {
    std::string file;
    for (const auto& word : args.words)
        if (word != "--json") file = word;
    if (file.empty()) {
        std::fprintf(stderr, "usage: korvane3d-cli model FILE [--json]\n");
        return 2;
    }
    if (!startBatch()) return 1;
    if (const ModelLoadOutcome loaded = loadModelFile(file, loadDeadline); !loaded.ok()) {
        explainLoadFailure(loaded, file);
        return 1;
    }

    const TModel& m = modelExtents;
    if (args.has("--json")) {
        Json model;
        model["file"] = file;
        model["triangles"] = modelTriangles.size();
        model["minX"] = m.minX;
        model["minY"] = m.minY;
        model["minZ"] = m.minZ;
        model["maxX"] = m.maxX;
        model["maxY"] = m.maxY;
        model["maxZ"] = m.maxZ;
        model["size"] = {double(modelSize.x), double(modelSize.y), double(modelSize.z)};
        printJson(model);
        return 0;
    }
    auto three = [](double x, double y, double z) {
        return shortestNumber(x) + " " + shortestNumber(y) + " " + shortestNumber(z);
    };
    std::printf("file:       %s\n", file.c_str());
    std::printf("triangles:  %zu\n", modelTriangles.size());
    std::printf("min x y z:  %s\n", three(m.minX, m.minY, m.minZ).c_str());
    std::printf("max x y z:  %s\n", three(m.maxX, m.maxY, m.maxZ).c_str());
    std::printf("size:       %s\n", three(modelSize.x, modelSize.y, modelSize.z).c_str());
    return 0;
}

const CommandRegistration model{
    "model", "model FILE [--json]      load a RAW, STL or DXF model as the program does", runModel};

} // namespace

} // namespace korvane::cli
