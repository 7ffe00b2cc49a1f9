// The layered print of a model of about a million triangles at 0.2 mm
// layers: a closed relief block 100 x 100 mm, 20 mm high, its top a grid of
// 700 x 700 cells with rolling hills. Reports the total time and the seconds
// of slicing, perimeters, hatching, joining and ordering; the baseline in the
// same run is the slicing of every layer by a scan of the whole triangle list,
// which the sweep by height avoids.
#include "ModelSupport.h"
#include "ReliefBlock.h"

#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/GenerujStereo.h"
#include "generation/StereoWarstwa.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

using namespace korvane;

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The relief block of the benchmark: rolling hills 12 mm high on average.
TriangleList reliefBlock(int n, float size) {
    return bench::reliefBlock(n, size, [](double x, double y) {
        return 12 + 4 * std::sin(x / 9) * std::cos(y / 13) + 3 * std::sin((x + y) / 5);
    });
}

void PrintMillionTriangles(benchmark::State& state) {
    settings.printer3D = true;
    test::useTriangles(reliefBlock(700, 100), 0.2);
    state.counters["triangles"] = double(modelTriangles.size());
    for (auto _ : state) {
        figureList.clear();
        const auto start = Clock::now();
        const PrintPhaseSeconds s = GenerujStereo(bench::printOperation());
        const double total = since(start);
        state.counters["total_s"] = total;
        state.counters["slicing_s"] = s.slicing;
        state.counters["perimeters_s"] = s.perimeters;
        state.counters["hatching_s"] = s.hatching;
        state.counters["joining_s"] = s.joining;
        state.counters["ordering_s"] = s.ordering;
        state.counters["slicing_share"] = s.slicing / total;
        state.counters["figures"] = double(figureList.size());
        state.counters["layers"] = liczbaWarstw(modelSize.z, 0.2);
    }
    figureList.clear();
}
BENCHMARK(PrintMillionTriangles)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// Slicing alone: the sweep against cutting every layer by a scan of the list.
void SliceSweepVsScan(benchmark::State& state) {
    if (modelTriangles.size() < 1000000) test::useTriangles(reliefBlock(700, 100), 0.2);
    const int layers = liczbaWarstw(modelSize.z, 0.2);
    for (auto _ : state) {
        figureList.clear();
        auto start = Clock::now();
        {
            tStereoWarstwa sweep(modelTriangles);
            for (int k = 0; k < layers; ++k) {
                sweep.ZWarstwy = wysokoscWarstwy(k, 0.2);
                sweep.ilosci.Start = static_cast<int>(figureList.size());
                sweep.Execute();
            }
        }
        const double swept = since(start);
        const size_t outlines = figureList.size();
        start = Clock::now();
        long long segments = 0;
        for (int k = 0; k < layers; ++k)
            for (const TTrojkat& t : modelTriangles)
                segments += przekrojTrojkata(t, wysokoscWarstwy(k, 0.2)).has_value();
        const double scanned = since(start);
        state.counters["sweep_s"] = swept;
        state.counters["scan_cut_only_s"] = scanned;
        state.counters["scan_over_sweep"] = scanned / swept;
        state.counters["outlines"] = double(outlines);
        state.counters["segments"] = double(segments);
    }
    figureList.clear();
    modelTriangles.clear();
}
BENCHMARK(SliceSweepVsScan)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
