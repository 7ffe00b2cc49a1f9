// The material simulation of the sample project's whole build at 0.1 mm cells:
// the exact sweep of every move on the machine's cores against stamping the
// tool at every point of the moves resampled at one cell's spacing (a plain
// loop on one core), in the same run, with the largest difference of the two.
#include "foundation/State.h"
#include "libraries/Frezy.h"
#include "libraries/Operacje.h"
#include "output/DaneWyjsciowe.h"
#include "output/MaterialSimulation.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

using namespace korvane;

namespace {

constexpr double cell = 0.1;

struct SampleBuild {
    std::vector<FigureList> outputs;
    std::vector<SimulatedPass> passes;
    std::string error;
};

// Builds the sample project with the batch program into a fresh data folder
// and reads its output files and tools back.
SampleBuild sampleBuild() {
    SampleBuild b;
    const auto bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const auto data = std::filesystem::temp_directory_path() /
                      ("korvane-sim-bench-" + std::to_string(::getpid()));
    const std::string command = (bin / "korvane3d-cli").string() + " dataDir=" + data.string() +
                                " generate --project " + (bin / "Samples" / "Sample.prj").string() +
                                " --json > /dev/null";
    if (std::system(command.c_str()) != 0) {
        b.error = "the sample project did not build";
        return b;
    }
    pixelSize = cell;
    for (const char* name : {"Roughing", "Layering", "Surfacing", "Lining", "Mixed"}) {
        TOperacjaDane o;
        TOperacje::PobierzDaneOperacjiZpliku(data / "Operations" / (std::string(name) + ".opr"), o);
        for (const auto& f : std::filesystem::directory_iterator(data / "Tools")) {
            TFrezDane t;
            if (!TFrezy::PobierzDaneFrezuZpliku(f.path(), t) || t.id != o.narzedzie) continue;
            tWy reader;
            reader.wczytajPlik(data / "Output" / "Sample" / (std::string(name) + ".out"), -1);
            b.outputs.push_back(std::move(reader.ListaFigur));
            b.passes.push_back({nullptr, ToolProfile(TFrez(t), cell / 20)});
        }
    }
    for (std::size_t i = 0; i < b.passes.size(); ++i) b.passes[i].figures = &b.outputs[i];
    std::filesystem::remove_all(data);
    if (b.passes.size() != 5) b.error = "not every output or tool was found";
    return b;
}

// The baseline: the tool stamped at every move's points one cell apart.
void stampEveryCell(tpix2d& map, const std::vector<SimulatedPass>& passes) {
    const RowBand all{0, map.rows()};
    for (const ToolMove& m : toolMoves(passes)) {
        const ToolProfile& tool = passes[static_cast<std::size_t>(m.pass)].tool;
        const double length = std::hypot(m.b.x - m.a.x, m.b.y - m.a.y, m.b.z - m.a.z);
        const int steps = std::max(1, static_cast<int>(std::ceil(length / cell)));
        for (int j = 0; j <= steps; ++j) {
            const double s = static_cast<double>(j) / steps;
            stampTool(map, cell, all, tool,
                      {m.a.x + s * (m.b.x - m.a.x), m.a.y + s * (m.b.y - m.a.y),
                       m.a.z + s * (m.b.z - m.a.z)});
        }
    }
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void SimulateSampleBuild(benchmark::State& state) {
    static const SampleBuild build = sampleBuild();
    if (!build.error.empty()) {
        state.SkipWithError(build.error.c_str());
        return;
    }
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    tpix2d start(1001, 801); // the 100 x 80 mm block of the sample project
    start.fill(25);
    double sweep = 0, sweepOne = 0, stamping = 0, difference = 0, differing = 0;
    for (auto _ : state) {
        tpix2d exact = start, single = start, stamped = start;
        auto t = std::chrono::steady_clock::now();
        simulateMaterial(exact, cell, build.passes, threads);
        sweep += seconds(t);
        t = std::chrono::steady_clock::now();
        simulateMaterial(single, cell, build.passes, 1);
        sweepOne += seconds(t);
        t = std::chrono::steady_clock::now();
        stampEveryCell(stamped, build.passes);
        stamping += seconds(t);
        difference = differing = 0;
        for (std::size_t i = 0; i < exact.cells().size(); ++i) {
            const double d = std::fabs(exact.cells()[i] - stamped.cells()[i]);
            difference = std::max(difference, d);
            if (d > 0.001) ++differing;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["sweep_s"] = sweep / n;
    state.counters["sweep_1thread_s"] = sweepOne / n;
    state.counters["stamping_s"] = stamping / n;
    state.counters["ratio"] = stamping / sweep;
    state.counters["ratio_1thread"] = stamping / sweepOne;
    state.counters["threads"] = threads;
    state.counters["moves"] = static_cast<double>(toolMoves(build.passes).size());
    state.counters["largest_difference_mm"] = difference;
    state.counters["cells_differing_over_1um"] = differing;
}

BENCHMARK(SimulateSampleBuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
