// A whole generation of the hatching operation on the sample relief: the
// relief picture into the raster, then the generation thread's phases (motion
// map, strategy, transfer heights, writing). Reports the seconds of each phase
// and its share of the whole.
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "geometry/Frez.h"
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

std::filesystem::path samplePicture() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Samples" / "relief.bmp";
}

// The default "Lining" operation with the default 3 mm ball.
TOperacjaDane lining() {
    TOperacjaDane o;
    o.nazwa = "Lining";
    o.idTyp = opHatching;
    o.warstwaSzer = 0.3;
    o.kat = 90;
    o.polaczoneKonce = true;
    o.granicaZgorna = 170;
    o.szybkosc = 3000;
    return o;
}

// Arg: cells per mm.
void GenerateHatchingOnSampleRelief(benchmark::State& state) {
    const auto data =
        std::filesystem::temp_directory_path() / ("korvane-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(data / "Output");
    dataFolder = data;
    outputFolderName = "Output";
    pixelSize = 1.0 / static_cast<double>(state.range(0));
    materialRasterReady = true;
    const TFrezDane ball{"", "Ball3", toolBallNose, 3, 0, 5, 3, 10};
    const BitmapRelief relief{6, 0, 80, 60};

    std::map<std::string, double> total;
    double whole = 0;
    GenerationResult last;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!GenerujPix2D(samplePicture(), relief)) {
            state.SkipWithError("the sample relief could not be read");
            return;
        }
        const double reliefSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        tGenProcesow gen(lining(), std::make_unique<TFrez>(ball));
        gen.Execute();
        last = gen.result();
        total["relief"] += reliefSeconds;
        for (const auto& [phase, s] : last.seconds) total[phase] += s;
        whole += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["whole_s"] = whole / n;
    for (const auto& [phase, s] : total) {
        state.counters[phase + "_s"] = s / n;
        state.counters[phase + "_%"] = 100 * s / whole;
    }
    state.counters["cells"] = static_cast<double>((rasterSizeX + 1) * (rasterSizeY + 1));
    state.counters["points"] = static_cast<double>(last.points);
    state.counters["figures"] = last.figures;
    state.SetLabel(last.written ? "written" : "NOT WRITTEN " + last.error);
    std::filesystem::remove_all(data);
}

BENCHMARK(GenerateHatchingOnSampleRelief)
    ->Arg(5)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
