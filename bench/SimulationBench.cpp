// The material simulation of the sample project's build at 0.1 mm cells.
//
// SimulateSampleBuild, the whole build: the exact sweep of every move on all
// the machine's cores and on one, against stamping the tool at every point of
// the moves resampled at one cell's spacing (on all cores as well), with the
// ratio of the times. Stamping stands the tool only at some of the positions
// the sweep passes through, so it never cuts deeper: the run checks that the
// sweep stands nowhere above the stamps (by more than 1 µm) and reports how much
// the stamps leave between their samples ("stamping_miss_mm": where a ring's
// edge passes a cell between two samples, the next wider ring, up to the ball's
// equator or the shank, is what they find).
//
// SweepBetweenDenseStampingBounds, the accuracy on a window of the build:
// the moves resampled every 1 µm (of 3D length) and stamped twice, with the
// tool as it is (never below the true swept height) and with every ring grown
// by half a sample's plan spacing and lowered by half its climb (never above:
// every position of the tip lies within half a spacing of a sample). The
// sweep must lie between the two in every cell; where they are at most 1 µm
// apart they decide the height to 1 µm, and the sweep equals them there. They
// leave a cell undecided where a ring's edge passes within half a spacing of
// it: the grown ring reaches the cell and the true one may not, and the
// height there jumps by a ring's step with the smallest shift of the path, so
// no resampling settles it ("widest_bounds_mm" says how far apart they are).
// The window is a part of the build so that the dense stamping takes a minute,
// not hours.
#include "foundation/State.h"
#include "libraries/Frezy.h"
#include "libraries/Operacje.h"
#include "output/DaneWyjsciowe.h"
#include "output/MaterialSimulation.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <unistd.h>

using namespace korvane;

namespace {

constexpr double cell = 0.1;
constexpr double micrometre = 0.001;

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
    const std::string command = (bin / "korvane3d-cli").string() + " \"dataDir='" + data.string() +
                                "'\"" + " generate --project " +
                                (bin / "Samples" / "Sample.prj").string() + " --json > /dev/null";
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

const SampleBuild& theSampleBuild() {
    static const SampleBuild build = sampleBuild();
    return build;
}

int cores() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs work(band) over bands of 16 rows on `threads` threads.
void overBands(int rows, int threads, const std::function<void(RowBand)>& work) {
    std::atomic<int> next{0};
    auto worker = [&] {
        for (int first = 16 * next++; first < rows; first = 16 * next++)
            work({first, std::min(rows, first + 16)});
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (auto& t : pool) t.join();
}

// Whether the move comes within `reach` of the band's rows (and of the
// columns below `columns`, when given).
bool reaches(const ToolMove& m, double reach, RowBand band, int columns = 0) {
    return std::min(m.a.y, m.b.y) - reach <= (band.endRow - 1) * cell &&
           std::max(m.a.y, m.b.y) + reach >= band.firstRow * cell &&
           (columns == 0 || (std::min(m.a.x, m.b.x) - reach <= (columns - 1) * cell &&
                             std::max(m.a.x, m.b.x) + reach >= 0));
}

// The n + 1 points of a move n steps apart, n the fewest that keep the steps
// (of 3D length) within `spacing`.
template <class Visit> void resample(const ToolMove& m, double spacing, Visit visit) {
    const double length = std::hypot(m.b.x - m.a.x, m.b.y - m.a.y, m.b.z - m.a.z);
    const int n = std::max(1, static_cast<int>(std::ceil(length / spacing)));
    for (int j = 0; j <= n; ++j) {
        const double s = static_cast<double>(j) / n;
        visit(Point3{m.a.x + s * (m.b.x - m.a.x), m.a.y + s * (m.b.y - m.a.y),
                     m.a.z + s * (m.b.z - m.a.z)},
              n);
    }
}

// The baseline: the tool stamped at every move's points one cell apart.
void stampEveryCell(tpix2d& map, const std::vector<SimulatedPass>& passes,
                    const std::vector<ToolMove>& moves, int threads) {
    overBands(map.rows(), threads, [&](RowBand band) {
        for (const ToolMove& m : moves) {
            const ToolProfile& tool = passes[static_cast<std::size_t>(m.pass)].tool;
            if (!reaches(m, tool.reach(), band)) continue;
            resample(m, cell, [&](const Point3& p, int) { stampTool(map, cell, band, tool, p); });
        }
    });
}

// The two dense stampings of the window [x0, x0 + columns) x [y0, y0 + rows)
// (cells): `upper` with the tool as it is, `lower` with its rings grown and
// lowered by half a sample's spacing in plan and in height.
void stampBounds(tpix2d& upper, tpix2d& lower, int x0, int y0,
                 const std::vector<SimulatedPass>& passes, const std::vector<ToolMove>& moves,
                 double spacing, int threads) {
    const double ox = x0 * cell, oy = y0 * cell;
    overBands(upper.rows(), threads, [&](RowBand band) {
        for (const ToolMove& m : moves) {
            const ToolProfile& tool = passes[static_cast<std::size_t>(m.pass)].tool;
            const ToolMove shifted{
                {m.a.x - ox, m.a.y - oy, m.a.z}, {m.b.x - ox, m.b.y - oy, m.b.z}, m.pass};
            const double planStep = std::hypot(m.b.x - m.a.x, m.b.y - m.a.y);
            const double climb = std::fabs(m.b.z - m.a.z);
            if (!reaches(shifted, tool.reach() + spacing, band, upper.columns())) continue;
            resample(shifted, spacing, [&](const Point3& p, int n) {
                const double grow = planStep / (2 * n), drop = climb / (2 * n);
                const double reach = tool.reach() + grow;
                const int c0 = std::max(0, static_cast<int>(std::ceil((p.x - reach) / cell)));
                const int c1 = std::min(upper.columns() - 1,
                                        static_cast<int>(std::floor((p.x + reach) / cell)));
                const int r0 =
                    std::max(band.firstRow, static_cast<int>(std::ceil((p.y - reach) / cell)));
                const int r1 =
                    std::min(band.endRow - 1, static_cast<int>(std::floor((p.y + reach) / cell)));
                for (int ix = c0; ix <= c1; ++ix)
                    for (int iy = r0; iy <= r1; ++iy) {
                        const auto i = static_cast<std::size_t>(iy);
                        const double d = std::hypot(ix * cell - p.x, iy * cell - p.y);
                        const double up = p.z + tool.heightAt(d);
                        const double low = p.z - drop + tool.heightAt(std::max(0.0, d - grow));
                        if (up < upper[ix][i]) upper[ix][i] = static_cast<float>(up);
                        if (low < lower[ix][i]) lower[ix][i] = static_cast<float>(low);
                    }
            });
        }
    });
}

tpix2d sampleBlock() {
    tpix2d start(1001, 801); // the 100 x 80 mm block of the sample project
    start.fill(25);
    return start;
}

void SimulateSampleBuild(benchmark::State& state) {
    const SampleBuild& build = theSampleBuild();
    if (!build.error.empty()) {
        state.SkipWithError(build.error.c_str());
        return;
    }
    const std::vector<ToolMove> moves = toolMoves(build.passes);
    const tpix2d start = sampleBlock();
    double sweep = 0, sweepOne = 0, stamping = 0, miss = 0, missing = 0, above = 0;
    bool sameOnOne = true;
    for (auto _ : state) {
        tpix2d exact = start, single = start, stamped = start;
        sweep += seconds([&] { simulateMaterial(exact, cell, build.passes, cores()); });
        sweepOne += seconds([&] { simulateMaterial(single, cell, build.passes, 1); });
        stamping += seconds([&] { stampEveryCell(stamped, build.passes, moves, cores()); });
        sameOnOne = sameOnOne &&
                    std::equal(exact.cells().begin(), exact.cells().end(), single.cells().begin());
        miss = missing = above = 0;
        for (std::size_t i = 0; i < exact.cells().size(); ++i) {
            const double d = static_cast<double>(stamped.cells()[i]) - exact.cells()[i];
            miss = std::max(miss, d);
            if (d > micrometre) ++missing;
            if (d < -micrometre) ++above;
        }
    }
    if (!sameOnOne) state.SkipWithError("one thread swept another result than all cores");
    if (above > 0) state.SkipWithError("the sweep left material a stamp removes");
    const double n = static_cast<double>(state.iterations());
    state.counters["sweep_s"] = sweep / n;
    state.counters["sweep_1thread_s"] = sweepOne / n;
    state.counters["stamping_s"] = stamping / n;
    state.counters["ratio"] = stamping / sweep;
    state.counters["threads"] = cores();
    state.counters["moves"] = static_cast<double>(moves.size());
    state.counters["cells_sweep_above_stamping"] = above;
    state.counters["stamping_miss_mm"] = miss;
    state.counters["cells_stamping_missed"] = missing;
}

BENCHMARK(SimulateSampleBuild)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// Arg: the window's side in cells; its corner at (45, 35) mm, over the part's
// slopes near the middle of the block.
void SweepBetweenDenseStampingBounds(benchmark::State& state) {
    const SampleBuild& build = theSampleBuild();
    if (!build.error.empty()) {
        state.SkipWithError(build.error.c_str());
        return;
    }
    const int side = static_cast<int>(state.range(0)), x0 = 450, y0 = 350;
    const std::vector<ToolMove> moves = toolMoves(build.passes);
    tpix2d exact = sampleBlock();
    simulateMaterial(exact, cell, build.passes, cores());
    double stamping = 0, outside = 0, decided = 0, largest = 0, widest = 0;
    for (auto _ : state) {
        tpix2d upper(side, side), lower(side, side);
        upper.fill(25);
        lower.fill(25);
        stamping += seconds(
            [&] { stampBounds(upper, lower, x0, y0, build.passes, moves, micrometre, cores()); });
        outside = decided = largest = widest = 0;
        for (int ix = 0; ix < side; ++ix)
            for (int iy = 0; iy < side; ++iy) {
                const auto i = static_cast<std::size_t>(iy);
                const double s = exact[x0 + ix][static_cast<std::size_t>(y0 + iy)];
                const double up = upper[ix][i], low = lower[ix][i];
                if (s > up + micrometre || s < low - micrometre) ++outside;
                widest = std::max(widest, up - low);
                if (up - low > micrometre) continue;
                ++decided;
                largest = std::max(largest, std::fabs(s - up));
            }
    }
    if (outside > 0) state.SkipWithError("the sweep lies outside the stamping bounds");
    if (largest > micrometre) state.SkipWithError("the sweep differs by more than 1 um");
    const double cells = static_cast<double>(side) * side;
    state.counters["cells"] = cells;
    state.counters["dense_stamping_s"] = stamping / static_cast<double>(state.iterations());
    state.counters["cells_outside_bounds"] = outside;
    state.counters["decided_%"] = 100 * decided / cells;
    state.counters["largest_difference_decided_mm"] = largest;
    state.counters["widest_bounds_mm"] = widest;
}

BENCHMARK(SweepBetweenDenseStampingBounds)
    ->Arg(50)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
