// The motion map's tool sweep: the program's sweep against the plain
// single-threaded loop on a generated relief of 200 x 150 mm, with the default
// 3 mm ball and 6 mm end mill. Each run checks that both give the same bits and
// reports the ratio of their times.
#include "SweepSupport.h"

#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace korvane;

namespace {

const TFrezDane benchTools[] = {
    {"", "Ball3", toolBallNose, 3, 0, 5, 3, 10},
    {"", "EndSloting6", toolEndMill, 6, 0, 6, 30, 60},
};

double seconds(auto&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void prepare(double width, double depth, double cellsPerMm) {
    test::makeRelief(width, depth, cellsPerMm);
    for (int x = 0; x <= rasterSizeX; ++x)
        std::copy_n(modelHeights[x].data(), rasterSizeY + 1, offsetHeights[x].data());
}

// Args: cells per mm, tool index.
void MotionMapAgainstPlainLoop(benchmark::State& state) {
    prepare(200, 150, static_cast<double>(state.range(0)));
    const TFrez frez(benchTools[state.range(1)]);
    tpix2d reference(rasterSizeX + 1, rasterSizeY + 1);
    const double referenceSeconds =
        seconds([&] { test::referenceSweep(offsetHeights, frez.Powierzchnia, reference); });

    const int workers = motionWorkerCount();
    double programSeconds = 0;
    for (auto _ : state) {
        clearLayer(motionHeights);
        programSeconds += seconds([&] { sweepTool(frez, workers); });
    }
    programSeconds /= static_cast<double>(state.iterations());
    const bool identical = test::bitIdentical(reference, motionHeights);
    if (!identical) state.SkipWithError("the program's sweep differs from the plain loop");
    state.SetLabel(std::string(benchTools[state.range(1)].nazwa) +
                   (identical ? " identical" : " DIFFERENT"));
    state.counters["cells"] = static_cast<double>((rasterSizeX + 1) * (rasterSizeY + 1));
    state.counters["points"] = static_cast<double>(frez.Powierzchnia.size());
    state.counters["workers"] = workers;
    state.counters["plain_s"] = referenceSeconds;
    state.counters["program_s"] = programSeconds;
    state.counters["ratio"] = referenceSeconds / programSeconds;
}
BENCHMARK(MotionMapAgainstPlainLoop)
    ->Args({5, 0})
    ->Args({5, 1})
    ->Args({10, 0})
    ->Args({10, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The 3 mm ball over 1.2 million cells at 0.1 mm (120 x 100 mm).
void MotionMapBall3OneMillionCells(benchmark::State& state) {
    prepare(120, 100, 10);
    const TFrez frez(benchTools[0]);
    const int workers = motionWorkerCount();
    for (auto _ : state) {
        clearLayer(motionHeights);
        sweepTool(frez, workers);
    }
    state.counters["cells"] = static_cast<double>((rasterSizeX + 1) * (rasterSizeY + 1));
    state.counters["points"] = static_cast<double>(frez.Powierzchnia.size());
}
BENCHMARK(MotionMapBall3OneMillionCells)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
