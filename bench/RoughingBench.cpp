// A whole generation of the default roughing operation (6 mm end mill, strokes
// 3 mm apart, layers 3 mm deep, 1 mm allowance) on the sample picture made a
// 20 mm relief: the generation thread's phases with their share of the whole,
// then the roughing's own steps re-run on the motion map the generation left:
// the strokes of every layer, the lowering of the material along the paths,
// and the rest of the roughing (chaining the strokes, the ramps). The stamping
// of the tool along the paths (lowering the material, clearing the machined
// marks while chaining) is timed against the plain stamping at every sample.
#include "RoughingSupport.h"
#include "SweepSupport.h"
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "generation/Zgrubna.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "import/BMPtoRAW.h"
#include "libraries/Frezy.h"
#include "libraries/Operacje.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <unistd.h>

using namespace korvane;

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::filesystem::path samplePicture() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Samples" / "relief.bmp";
}

TOperacjaDane defaultRoughing() {
    TOperacjaDane o;
    o.nazwa = "Roughing";
    o.idTyp = opRoughing;
    o.warstwaSzer = 3;
    o.warstwaGrubosc = 3;
    o.zostawDoNastOper = 1;
    o.granicaZgorna = 170;
    o.miekkieWejscie = false;
    o.szybkosc = 8000;
    return o;
}

// The seconds of the roughing's steps on the current motion map.
struct RoughingSteps {
    double strokes = 0, lowering = 0, whole = 0;
    double plainLowering = 0, clearing = 0, plainClearing = 0;
    bool identical = true;
};

void markAllUnmachined() {
    for (auto& cell : cellStatus.cells()) cell.stat = cellUnmachined;
}

RoughingSteps timeRoughingSteps(const TOperacjaDane& o, const TFrez& frez) {
    RoughingSteps s;
    const ToolShape tool(sweepPoints(frez));
    auto start = Clock::now();
    const double top = roughingLayerTop(o);
    for (double z = top - o.warstwaGrubosc; z >= 0; z -= o.warstwaGrubosc) {
        layerStrokes(z, o.warstwaSzer, frez.Parametry.d1 / 2, tool);
        figureList.clear();
    }
    s.strokes = since(start);

    fillMaterialRaster(1000);
    start = Clock::now();
    generujZgrubnie(o, frez);
    s.whole = since(start);

    fillMaterialRaster(1000);
    start = Clock::now();
    for (const auto& f : figureList) lowerMaterial(*f, tool);
    s.lowering = since(start);
    const tpix2d lowered = materialHeights;
    fillMaterialRaster(1000);
    start = Clock::now();
    for (const auto& f : figureList) test::referenceLowerMaterial(*f, sweepPoints(frez));
    s.plainLowering = since(start);
    s.identical = test::bitIdentical(lowered, materialHeights);

    markAllUnmachined();
    start = Clock::now();
    for (const auto& f : figureList) clearUnderTool(*f, tool, cellUnmachined);
    s.clearing = since(start);
    const tpix2dRec cleared = cellStatus;
    markAllUnmachined();
    start = Clock::now();
    for (const auto& f : figureList)
        test::referenceClearUnderTool(*f, sweepPoints(frez), cellUnmachined);
    s.plainClearing = since(start);
    for (size_t k = 0; k < cleared.cells().size(); ++k)
        s.identical = s.identical && cleared.cells()[k].stat == cellStatus.cells()[k].stat;
    figureList.clear();
    return s;
}

// Arg: cells per mm.
void GenerateRoughingOnSampleRelief(benchmark::State& state) {
    const auto data = std::filesystem::temp_directory_path() /
                      ("korvane-bench-roughing-" + std::to_string(::getpid()));
    std::filesystem::create_directories(data / "Output");
    dataFolder = data;
    outputFolderName = "Output";
    pixelSize = 1.0 / static_cast<double>(state.range(0));
    materialRasterReady = true;
    roughingCount = 1;
    const TFrezDane endMill{"", "EndSloting6", toolEndMill, 6, 0, 6, 30, 60};
    const BitmapRelief relief{20, 0, 80, 60};

    std::map<std::string, double> total;
    double whole = 0;
    RoughingSteps steps;
    GenerationResult last;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!GenerujPix2D(samplePicture(), relief)) {
            state.SkipWithError("the sample relief could not be read");
            return;
        }
        total["relief"] += since(start);
        fillMaterialRaster(1000);
        tGenProcesow gen(defaultRoughing(), std::make_unique<TFrez>(endMill));
        gen.Execute();
        last = gen.result();
        for (const auto& [phase, s] : last.seconds) total[phase] += s;
        whole += since(start);

        const RoughingSteps s = timeRoughingSteps(defaultRoughing(), TFrez(endMill));
        steps.strokes += s.strokes;
        steps.lowering += s.lowering;
        steps.whole += s.whole;
        steps.plainLowering += s.plainLowering;
        steps.clearing += s.clearing;
        steps.plainClearing += s.plainClearing;
        steps.identical = steps.identical && s.identical;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["whole_s"] = whole / n;
    for (const auto& [phase, s] : total) {
        state.counters[phase + "_s"] = s / n;
        state.counters[phase + "_%"] = 100 * s / whole;
    }
    // Shares of the roughing itself.
    state.counters["rough_strokes_%"] = 100 * steps.strokes / steps.whole;
    state.counters["rough_lowering_%"] = 100 * steps.lowering / steps.whole;
    state.counters["rough_chaining_%"] =
        100 * (steps.whole - steps.strokes - steps.lowering) / steps.whole;
    // The stamping along the paths against the plain stamping at every sample.
    state.counters["lowering_s"] = steps.lowering / n;
    state.counters["lowering_plain_x"] = steps.plainLowering / steps.lowering;
    state.counters["clearing_s"] = steps.clearing / n;
    state.counters["clearing_plain_x"] = steps.plainClearing / steps.clearing;
    state.counters["cells"] = static_cast<double>((rasterSizeX + 1) * (rasterSizeY + 1));
    state.counters["points"] = static_cast<double>(last.points);
    state.counters["figures"] = last.figures;
    state.SetLabel(!last.written     ? "NOT WRITTEN " + last.error
                   : steps.identical ? "written"
                                     : "STAMPING DIFFERS FROM THE PLAIN ONE");
    std::filesystem::remove_all(data);
}

BENCHMARK(GenerateRoughingOnSampleRelief)
    ->Arg(5)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
