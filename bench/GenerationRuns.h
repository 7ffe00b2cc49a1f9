#pragma once

// What the generation benchmarks share: a data folder of their own for the
// output files, the default 3 mm ball and hatching, the sample picture, and
// the seconds of each phase of the runs reported as counters.
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "libraries/Frezy.h"
#include "libraries/Operacje.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace korvane::bench {

// A fresh data folder with an output folder, made the program's data folder;
// removed at the end.
class OutputFolder {
  public:
    explicit OutputFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_ / "Output");
        dataFolder = path_;
        outputFolderName = "Output";
    }
    ~OutputFolder() { std::filesystem::remove_all(path_); }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

  private:
    std::filesystem::path path_;
};

inline std::filesystem::path samplePicture() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Samples" / "relief.bmp";
}

// The library's default 3 mm ball.
inline const TFrezDane ball3{"", "Ball3", toolBallNose, 3, 0, 5, 3, 10};

// The default "Lining" operation: hatching 0.3 mm apart across x.
inline TOperacjaDane lining() {
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

inline double seconds(auto&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A deep copy of a figure list, so that two ways of working on it start alike.
inline FigureList copyOf(const FigureList& figures) {
    FigureList copy;
    for (const auto& f : figures) copy.push_back(std::make_unique<tFigura>(*f));
    return copy;
}

// Counters of a lookup by plan squares against the plain loop it replaces, in
// seconds a run, and how many times faster the squares are; the label tells
// whether the two agreed.
inline void reportSquaresAgainstPlain(benchmark::State& state, double squares, double plain,
                                      bool same, const std::string& sameLabel,
                                      const std::string& differentLabel) {
    const double n = static_cast<double>(state.iterations());
    state.counters["squares_s"] = squares / n;
    state.counters["plain_s"] = plain / n;
    state.counters["plain_x"] = plain / squares;
    state.SetLabel(same ? sameLabel : differentLabel);
}

// The seconds of the runs, per phase and whole, and the last run's result.
struct GenerationRuns {
    std::map<std::string, double> phases;
    double whole = 0;
    GenerationResult last;

    // Generates `operation` with the 3 mm ball, timed; `before` seconds spent
    // on the run's own preparation count towards the whole.
    void run(const TOperacjaDane& operation, double before = 0) {
        tGenProcesow gen(operation, std::make_unique<TFrez>(ball3));
        whole += before + seconds([&] { gen.Execute(); });
        last = gen.result();
        for (const auto& [phase, s] : last.seconds) phases[phase] += s;
    }

    // Counters: the whole and each phase's seconds a run and share, the
    // raster's cells, the last run's points and figures; written or not as
    // the label.
    void report(benchmark::State& state) const {
        const double n = static_cast<double>(state.iterations());
        state.counters["whole_s"] = whole / n;
        for (const auto& [phase, s] : phases) {
            state.counters[phase + "_s"] = s / n;
            state.counters[phase + "_%"] = 100 * s / whole;
        }
        state.counters["cells"] = static_cast<double>((rasterSizeX + 1) * (rasterSizeY + 1));
        state.counters["points"] = static_cast<double>(last.points);
        state.counters["figures"] = last.figures;
        state.SetLabel(last.written ? "written" : "NOT WRITTEN " + last.error);
    }
};

} // namespace korvane::bench
