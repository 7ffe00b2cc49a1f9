#include "Batch.h"
#include "Commands.h"
#include "Json.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "import/RAWodczytWatek.h"
#include "platform/MainLoop.h"

#include <chrono>
#include <cstdio>

namespace korvane::cli {

namespace {

constexpr std::chrono::minutes loadDeadline{10};

int runModel(const CommandArgs& args) {
    std::string file;
    for (const auto& word : args.words)
        if (word != "--json") file = word;
    if (file.empty()) {
        std::fprintf(stderr, "usage: korvane3d-cli model FILE [--json]\n");
        return 2;
    }
    if (!startBatch()) return 1;

    // The model is loaded into the program's own model state, as the window does.
    modelExtents.plik_RAW = file;
    if (!std::filesystem::exists(file)) {
        showMessage(txt("Universal", "txtPlikuBrak") + "\r\n" + file, true);
        modelExtents.plik_RAW.clear();
        return 1;
    }
    modelTriangles.clear();
    TRAWodczytWatek loader;
    loader.Inicjuj(&modelTriangles, file, &modelExtents, &modelSize);
    bool ended = false;
    loader.start([&] { ended = true; });
    if (!queueMainLoop().runUntil([&] { return ended; }, loadDeadline)) {
        std::fprintf(stderr, "%s: loading did not end within %d minutes\n", file.c_str(),
                     static_cast<int>(loadDeadline.count()));
        loader.requestTerminate();
        return 1;
    }
    if (modelTriangles.empty()) {
        showMessage(txt("Other", "zbiorPusty"), true);
        if (!loader.errorText().empty()) std::fprintf(stderr, "%s\n", loader.errorText().c_str());
        return 1;
    }

    const TModel& m = modelExtents;
    if (args.has("--json")) {
        JsonWriter j;
        j.beginObject()
            .string("file", file)
            .integer("triangles", static_cast<long long>(modelTriangles.size()))
            .number("minX", m.minX)
            .number("minY", m.minY)
            .number("minZ", m.minZ)
            .number("maxX", m.maxX)
            .number("maxY", m.maxY)
            .number("maxZ", m.maxZ)
            .beginArray("size")
            .number({}, modelSize.x)
            .number({}, modelSize.y)
            .number({}, modelSize.z)
            .endArray()
            .endObject();
        std::printf("%s\n", j.text().c_str());
        return 0;
    }
    // The shortest text that reads back as the same number.
    auto three = [](double x, double y, double z) {
        return jsonNumber(x) + " " + jsonNumber(y) + " " + jsonNumber(z);
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
