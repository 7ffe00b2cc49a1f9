// The clearance of finished paths with the tool's true shape (the last phase of
// every finishing strategy without the precise correction) on the sample model
// (Samples/Sample.stl, 100 x 80 mm) at 5 and 10 cells per mm: the paths of the
// default "Lining" and "Mixed" operations are made once, then kept clear on
// one thread and on all of them. The points of the result are summed up in a
// checksum, so that the figures of two builds can be compared, and the two
// thread counts are checked to give the same points. And the search of the
// tip heights and cuts along those paths by chunks of cells against the plain
// loop over every cell, checked to give the same values.
#include "CorrectionSupport.h"
#include "GenerationRuns.h"
#include "ToolClearanceLookups.h"

#include "generation/DodajPixRuchuThread.h"
#include "generation/MotionMap.h"
#include "generation/ToolClearance.h"
#include "geometry/Raster.h"

#include <bit>
#include <cstdint>
#include <cstdio>

using namespace korvane;
using bench::seconds;

namespace {

TOperacjaDane mixed() {
    TOperacjaDane o;
    o.nazwa = "Mixed";
    o.idTyp = opMixed;
    o.warstwaSzer = 1;
    o.warstwaGrubosc = 0.25;
    o.granicaZgorna = 170;
    o.szybkosc = 3000;
    return o;
}

// FNV-1a over the bits of every coordinate, figure by figure.
std::uint64_t checksum(const FigureList& figures) {
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&](std::uint32_t v) { h = (h ^ v) * 1099511628211ull; };
    for (const auto& f : figures) {
        mix(static_cast<std::uint32_t>(f->poz.size()));
        for (const TrPkt3D& p : f->poz) {
            mix(std::bit_cast<std::uint32_t>(p.x));
            mix(std::bit_cast<std::uint32_t>(p.y));
            mix(std::bit_cast<std::uint32_t>(p.z));
        }
    }
    return h;
}

// Args: operation type (opHatching or opMixed), cells per mm.
void ClearanceOnSampleModel(benchmark::State& state) {
    const bench::OutputFolder data("korvane-bench-clearance");
    const auto model =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Samples" / "Sample.stl";
    test::useModel(test::readModel(model), static_cast<double>(state.range(1)));
    const TOperacjaDane o = state.range(0) == opMixed ? mixed() : bench::lining();
    const TFrez tool(bench::ball3);
    figureList.clear();
    applyAllowance(o.zostawDoNastOper);
    clearLayer(motionHeights);
    sweepTool(tool, motionWorkerCount());
    for (auto& cell : cellStatus.cells()) cell.stat &= ~0xF;
    runStrategy(o, tool, {});
    std::erase_if(figureList, [](const auto& f) { return f->count() < 2; });
    const FigureList paths = bench::copyOf(figureList);
    applyAllowance(o.zostawDoNastOper);

    const bench::LookupTimes lookups = bench::timeLookups(tool, paths);

    double one = 0, all = 0;
    std::uint64_t sum = 0;
    bool same = true;
    long long points = 0;
    for (auto _ : state) {
        figureList = bench::copyOf(paths);
        one += seconds([&] { keepToolClear(tool, 1); });
        sum = checksum(figureList);
        points = 0;
        for (const auto& f : figureList) points += f->count();
        figureList = bench::copyOf(paths);
        all += seconds([&] { keepToolClear(tool, motionWorkerCount()); });
        same = same && checksum(figureList) == sum;
    }
    figureList.clear();
    const double n = static_cast<double>(state.iterations());
    state.counters["one_thread_s"] = one / n;
    state.counters["all_threads_s"] = all / n;
    state.counters["threads"] = motionWorkerCount();
    state.counters["lookups_chunks_s"] = lookups.chunks;
    state.counters["lookups_plain_s"] = lookups.plain;
    state.counters["lookups_plain_x"] = lookups.plain / lookups.chunks;
    state.counters["points"] = static_cast<double>(points);
    char label[96];
    std::snprintf(label, sizeof label, "checksum %016llx, %s, %s",
                  static_cast<unsigned long long>(sum),
                  same ? "same on all threads" : "THREADS DIFFER",
                  lookups.same ? "lookups same" : "LOOKUPS DIFFER");
    state.SetLabel(label);
}

BENCHMARK(ClearanceOnSampleModel)
    ->ArgNames({"type", "cellsPerMm"})
    ->ArgsProduct({{opHatching, opMixed}, {5, 10}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
