// A whole generation of the hatching operation on the sample relief: the
// relief picture into the raster, then the generation thread's phases (motion
// map, strategy, transfer heights, writing). Reports the seconds of each phase
// and its share of the whole.
#include "GenerationRuns.h"

#include "import/BMPtoRAW.h"

using namespace korvane;

namespace {

// Arg: cells per mm.
void GenerateHatchingOnSampleRelief(benchmark::State& state) {
    const bench::OutputFolder data("korvane-bench");
    pixelSize = 1.0 / static_cast<double>(state.range(0));
    materialRasterReady = true;
    const BitmapRelief relief{6, 0, 80, 60};
    bench::GenerationRuns runs;
    for (auto _ : state) {
        bool read = false;
        const double reliefSeconds =
            bench::seconds([&] { read = GenerujPix2D(bench::samplePicture(), relief); });
        if (!read) {
            state.SkipWithError("the sample relief could not be read");
            return;
        }
        runs.phases["relief"] += reliefSeconds;
        runs.run(bench::lining(), reliefSeconds);
    }
    runs.report(state);
}

BENCHMARK(GenerateHatchingOnSampleRelief)
    ->Arg(5)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
