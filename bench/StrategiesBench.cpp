// Every milling strategy on the sample model (Samples/Sample.stl, 100 x 80 mm,
// a 100 x 80 x 25 mm block) at 5 and 10 cells per mm with the library's
// default operations and tools: the seconds of each phase of the generation
// and its share of the whole. And the chaining of figures by nearest start
// through plan squares against the plain greedy loop on the same figures,
// checked to give the same order.
#include "CorrectionSupport.h"
#include "GenerationRuns.h"
#include "NearestChainReference.h"

#include "generation/NearestChain.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"

#include <cstdint>

using namespace korvane;
using bench::seconds;

namespace {

const TFrezDane endMill6{"", "EndSloting6", toolEndMill, 6, 0, 6, 30, 60};

// The library's default operation of a type (Roughing, Layering, Surfacing,
// Lining, Mixed) with its tool.
std::pair<TOperacjaDane, TFrezDane> libraryOperation(int type) {
    TOperacjaDane o;
    o.idTyp = type;
    o.granicaZgorna = 170;
    o.szybkosc = 3000;
    switch (type) {
    case opRoughing:
        o.nazwa = "Roughing";
        o.warstwaSzer = o.warstwaGrubosc = 3;
        o.zostawDoNastOper = 1;
        return {o, endMill6};
    case opLayeredFinishing:
        o.nazwa = "Layering";
        o.warstwaGrubosc = 2;
        o.polaczoneKonce = true;
        return {o, bench::ball3};
    case opPlanes:
        o.nazwa = "Surfacing";
        o.warstwaSzer = 2;
        o.zostawDoNastOper = 1;
        return {o, endMill6};
    case opMixed:
        o.nazwa = "Mixed";
        o.warstwaSzer = 1;
        o.warstwaGrubosc = 0.25;
        return {o, bench::ball3};
    default:
        return {bench::lining(), bench::ball3};
    }
}

// Args: operation type, cells per mm.
void StrategyOnSampleModel(benchmark::State& state) {
    const bench::OutputFolder data("korvane-bench-strategies");
    const auto model =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Samples" / "Sample.stl";
    test::useModel(test::readModel(model), static_cast<double>(state.range(1)));
    project = std::make_unique<TProjekt>();
    project->d.material = {};
    project->d.material.zrodlo = materialBlock;
    project->d.material.rozmX = 100;
    project->d.material.rozmY = 80;
    project->d.material.rozmZ = 25;
    roughingCount = 1;
    const auto [operation, tool] = libraryOperation(static_cast<int>(state.range(0)));
    bench::GenerationRuns runs;
    for (auto _ : state) {
        fillMaterialRaster(1000);
        tGenProcesow gen(operation, std::make_unique<TFrez>(tool));
        runs.whole += seconds([&] { gen.Execute(); });
        runs.last = gen.result();
        for (const auto& [phase, s] : runs.last.seconds) runs.phases[phase] += s;
    }
    runs.report(state);
    state.counters["length_mm"] = runs.last.length;
    project.reset();
}

BENCHMARK(StrategyOnSampleModel)
    ->ArgNames({"type", "cellsPerMm"})
    ->ArgsProduct({{opRoughing, opLayeredFinishing, opPlanes, opHatching, opMixed}, {5, 10}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// Arg: figures. Short open figures scattered over 100 x 80 mm.
void NearestChainAgainstPlainLoop(benchmark::State& state) {
    std::uint32_t seed = 7;
    auto next = [&](double range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(range * ((seed >> 8) & 0xFFFF) / 65536.0);
    };
    FigureList figures;
    for (int k = 0; k < state.range(0); ++k) {
        auto f = std::make_unique<tFigura>();
        const float x = next(100), y = next(80), z = next(10);
        f->poz = {{x, y, z}, {x + next(4), y + next(4), z}};
        f->orgIndex = k;
        figures.push_back(std::move(f));
    }
    double squares = 0, plain = 0;
    bool same = true;
    for (auto _ : state) {
        FigureList a = bench::copyOf(figures), b = bench::copyOf(figures);
        squares += seconds([&] { chainByNearestStart(a, 1); });
        plain += seconds([&] { test::referenceChainByNearestStart(b, 1); });
        for (size_t k = 0; k < a.size(); ++k) same = same && a[k]->orgIndex == b[k]->orgIndex;
    }
    bench::reportSquaresAgainstPlain(state, squares, plain, same, "same order", "ORDER DIFFERS");
}

BENCHMARK(NearestChainAgainstPlainLoop)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
