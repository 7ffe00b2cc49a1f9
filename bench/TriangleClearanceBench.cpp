// The clearance of paths against the model triangles with the tool's exact
// shape, on the sample model (Samples/Sample.stl) at 5 cells per mm: for each
// milling type of the sample project, the strategy's time, that of the
// clearance against the raster alone (the finishing types' last phase before
// the triangles were looked at; roughing had none) and that of the clearance
// the generation runs now, against the raster and the triangles, on one
// thread, and what the triangles add; and the exact tip heights worked out per
// second over the strategy's points; in processor seconds of the thread.
#include "CorrectionSupport.h"
#include "GenerationRuns.h"

#include "generation/DodajPixRuchuThread.h"
#include "generation/MotionMap.h"
#include "generation/ToolClearance.h"
#include "generation/TriangleClearance.h"
#include "geometry/Raster.h"

#include <ctime>

using namespace korvane;

namespace {

// The processor time of this thread spent on `work`: the figures of a loaded
// machine, where the wall clock counts the others' work too.
double seconds(auto&& work) {
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
    };
    const double start = now();
    work();
    return now() - start;
}

} // namespace

namespace {

TOperacjaDane operation(int type) {
    TOperacjaDane o = bench::lining();
    o.idTyp = type;
    if (type == opRoughing) {
        o.warstwaSzer = 3;
        o.warstwaGrubosc = 3;
        o.zostawDoNastOper = 0.5;
    } else if (type != opHatching) {
        o.warstwaSzer = 1;
        o.warstwaGrubosc = 0.5;
    }
    return o;
}

// Arg: operation type.
void TriangleClearanceOnSampleModel(benchmark::State& state) {
    const bench::OutputFolder data("korvane-bench-triangle-clearance");
    const auto model =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Samples" / "Sample.stl";
    test::useModel(test::readModel(model), 5);
    const TOperacjaDane o = operation(static_cast<int>(state.range(0)));
    const TFrez tool(bench::ball3);
    double strategy = 0, raster = 0, exact = 0, tips = 0;
    long long points = 0, pathPoints = 0;
    for (auto _ : state) {
        figureList.clear();
        applyAllowance(o.zostawDoNastOper);
        clearLayer(motionHeights);
        sweepTool(tool, motionWorkerCount());
        for (auto& cell : cellStatus.cells()) cell.stat &= ~0xF;
        strategy += seconds([&] { runStrategy(o, tool, {}); });
        std::erase_if(figureList, [](const auto& f) { return f->count() < 2; });
        const FigureList paths = bench::copyOf(figureList);
        if (o.idTyp != opRoughing) {
            applyAllowance(o.zostawDoNastOper);
            raster += seconds([&] { keepToolClear(tool, 1); });
        }
        // As the generation runs it: finishing paths clear of the raster and
        // the triangles, roughing's of the triangles and above the motion map.
        figureList = bench::copyOf(paths);
        exact += seconds([&] {
            keepClearOfTriangles(tool, o.zostawDoNastOper,
                                 o.idTyp == opRoughing ? Floor::motionMap : Floor::raster, 1);
        });
        points = 0;
        for (const auto& f : figureList) points += f->count();

        const TriangleClearance clearance(tool, o.zostawDoNastOper, modelTriangles, pixelSize);
        double sum = 0;
        pathPoints = 0;
        tips += seconds([&] {
            for (const auto& f : paths)
                for (const TrPkt3D& p : f->poz) {
                    sum += clearance.tipHeight(p.x, p.y);
                    ++pathPoints;
                }
        });
        benchmark::DoNotOptimize(sum);
    }
    figureList.clear();
    const double n = static_cast<double>(state.iterations());
    state.counters["strategy_s"] = strategy / n;
    state.counters["raster_clearance_s"] = raster / n;
    state.counters["with_triangles_s"] = exact / n;
    state.counters["added_s"] = (exact - raster) / n;
    state.counters["points"] = static_cast<double>(points);
    state.counters["tip_heights_per_s"] = static_cast<double>(pathPoints) * n / tips;
}

BENCHMARK(TriangleClearanceOnSampleModel)
    ->ArgName("type")
    ->Arg(opRoughing)
    ->Arg(opLayeredFinishing)
    ->Arg(opPlanes)
    ->Arg(opHatching)
    ->Arg(opMixed)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
