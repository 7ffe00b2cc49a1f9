// The precise correction of tool paths against the model triangles.
//
// CorrectionDepthOnSample: the default hatching operation (3 mm ball, strokes
// 0.3 mm apart, no allowance) on the sample relief at 5 cells/mm, without and
// with correction: the share of path points below the height where the ball,
// lowered there, first touches the triangles (by more than a micrometre), how
// many lie more than 0.01 mm and more than 0.5 mm below, and the worst depth.
//
// CorrectionSpeed: the finishing paths of a mesh of about 15 000 triangles,
// one path along every raster row at 10 cells/mm (0.1 mm between points, on
// the motion map of a 3 mm ball), corrected with 1 worker and with all; points
// per second of the clock and per second of processor time. CorrectionIndexVsScan:
// the same correction of every 30th path on one thread with the triangles found
// through the grids and by scanning the whole list, in processor time; the
// results must be identical.
#include "CorrectionSupport.h"
#include "GenerationRuns.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/GenProcesowWatek.h"
#include "generation/KorygujMasterWatek.h"
#include "generation/MotionMap.h"
#include "generation/PointCorrection.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "libraries/Frezy.h"
#include "libraries/Operacje.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>

using namespace korvane;

namespace {

using Clock = std::chrono::steady_clock;

using bench::ball3;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor seconds of this thread or of the whole process: on a machine busy
// with other work they show what the correction itself costs.
double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The default "Lining" operation, precise or not.
TOperacjaDane lining(bool precise) {
    TOperacjaDane o = bench::lining();
    o.ObliczeniaPrecyzyjne = precise;
    return o;
}

void motionMap(const TFrez& frez, double allowance) {
    applyAllowance(allowance);
    clearLayer(motionHeights);
    sweepTool(frez, motionWorkerCount());
}

void CorrectionDepthOnSample(benchmark::State& state) {
    const auto file =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Samples" / "Sample.stl";
    test::useModel(test::readModel(file), 5);
    const TFrez frez(ball3);
    motionMap(frez, 0);
    test::DepthBelowBall without, with;
    double seconds = 0;
    for (auto _ : state) {
        figureList.clear();
        runStrategy(lining(false), frez);
        without = test::depthBelowBall(modelTriangles, figureList, ball3.d1 / 2);
        figureList.clear();
        runStrategy(lining(true), frez);
        for (int i = static_cast<int>(figureList.size()) - 1; i >= 0; --i)
            if (figureList[size_t(i)]->count() < 2) deleteFigure(i);
        const auto start = Clock::now();
        cKorygujMaster(frez, 0, 25, motionWorkerCount()).Execute();
        seconds += since(start);
        with = test::depthBelowBall(modelTriangles, figureList, ball3.d1 / 2);
    }
    auto report = [&](const char* name, const test::DepthBelowBall& d) {
        state.counters[std::string(name) + "_points"] = double(d.points);
        state.counters[std::string(name) + "_below_%"] = 100.0 * double(d.below) / double(d.points);
        state.counters[std::string(name) + "_below_0.01mm"] = double(d.belowStep);
        state.counters[std::string(name) + "_below_0.5mm"] = double(d.deep);
        state.counters[std::string(name) + "_worst_mm"] = d.worst;
    };
    report("plain", without);
    report("corrected", with);
    state.counters["correction_s"] = seconds / double(state.iterations());
    state.counters["triangles"] = double(modelTriangles.size());
    figureList.clear();
}

BENCHMARK(CorrectionDepthOnSample)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 60 x 60 mm, 87 x 87 vertices: waves, a sharp ridge and a block with walls
// rising over 0.01 mm.
TriangleList speedMesh() {
    std::vector<double> xs = test::evenSteps(60, 85);
    xs.push_back(30.005);
    std::sort(xs.begin(), xs.end());
    return test::heightFieldMesh(xs, test::evenSteps(60, 86), [](double x, double y) {
        const double waves = 3 + 2 * std::sin(x * 0.35) * std::cos(y * 0.25);
        const double ridge = std::max(0.0, 9 - 3 * std::abs(y - 20));
        const double block = x > 30.005 && x < 45 && y > 35 && y < 50 ? 8.0 : 0.0;
        return std::max({waves, ridge, block});
    });
}

struct SpeedCase {
    std::vector<std::vector<TrPkt3D>> paths; // one per raster row
    std::unique_ptr<TFrez> frez;
    long long points = 0;
};

SpeedCase& speedCase() {
    static SpeedCase c = [] {
        SpeedCase s;
        test::useModel(speedMesh(), 10);
        s.frez = std::make_unique<TFrez>(ball3);
        motionMap(*s.frez, 0);
        for (int iy = 0; iy <= rasterSizeY; ++iy) {
            std::vector<TrPkt3D> row;
            for (int ix = 0; ix <= rasterSizeX; ++ix)
                row.push_back(
                    {float(ix * pixelSize), float(iy * pixelSize), motionHeights[ix][iy]});
            s.points += static_cast<long long>(row.size());
            s.paths.push_back(std::move(row));
        }
        return s;
    }();
    return c;
}

void loadPaths(const SpeedCase& c) {
    figureList.clear();
    for (const auto& row : c.paths) {
        auto f = std::make_unique<tFigura>();
        f->poz = row;
        figureList.push_back(std::move(f));
    }
}

// Arg: workers (0: as many as the generation uses).
void CorrectionSpeed(benchmark::State& state) {
    SpeedCase& c = speedCase();
    const int workers = state.range(0) == 0 ? motionWorkerCount() : int(state.range(0));
    double seconds = 0, cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        loadPaths(c);
        state.ResumeTiming();
        const auto start = Clock::now();
        const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        cKorygujMaster(*c.frez, 0, 100, workers).Execute();
        cpu += cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
        seconds += since(start);
    }
    const double points = double(c.points) * double(state.iterations());
    state.counters["triangles"] = double(modelTriangles.size());
    state.counters["points"] = double(c.points);
    state.counters["workers"] = workers;
    state.counters["points_per_s"] = points / seconds;
    // What each worker does per second of processor time it gets.
    state.counters["points_per_cpu_s"] = points / cpu;
    figureList.clear();
}

BENCHMARK(CorrectionSpeed)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void CorrectionIndexVsScan(benchmark::State& state) {
    SpeedCase& c = speedCase();
    const PointCorrector corrector(*c.frez, 0, 100, pixelSize, modelTriangles);
    const TriangleGrid ballGrid(modelTriangles, corrector.ballReach());
    const TriangleGrid flankGrid(modelTriangles, corrector.reach(), TriangleGrid::Order::byTop);
    PointCorrector::NearTriangles near;
    double indexSeconds = 0, scanSeconds = 0;
    long long points = 0;
    bool identical = true;
    for (auto _ : state) {
        points = 0;
        for (size_t r = 0; r < c.paths.size(); r += 30) {
            std::vector<TrPkt3D> byIndex = c.paths[r], byScan = c.paths[r];
            double cpuStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            for (TrPkt3D& p : byIndex)
                p = corrector.correct(
                    p,
                    [&](PointCorrector::Lookup lookup, double x, double y, double above,
                        std::vector<std::int32_t>& out) {
                        (lookup == PointCorrector::Lookup::ball ? ballGrid : flankGrid)
                            .near(x, y, above, out);
                    },
                    near);
            indexSeconds += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
            cpuStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            for (TrPkt3D& p : byScan)
                p = corrector.correct(
                    p,
                    [&](PointCorrector::Lookup lookup, double x, double y, double above,
                        std::vector<std::int32_t>& out) {
                        test::scanNear(modelTriangles,
                                       lookup == PointCorrector::Lookup::ball
                                           ? corrector.ballReach()
                                           : corrector.reach(),
                                       x, y, above, out);
                    },
                    near);
            scanSeconds += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
            identical = identical && std::memcmp(byIndex.data(), byScan.data(),
                                                 byIndex.size() * sizeof(TrPkt3D)) == 0;
            points += static_cast<long long>(byIndex.size());
        }
    }
    const double n = double(state.iterations());
    state.counters["points"] = double(points);
    state.counters["index_points_per_cpu_s"] = double(points) * n / indexSeconds;
    state.counters["scan_points_per_cpu_s"] = double(points) * n / scanSeconds;
    state.counters["scan_over_index"] = scanSeconds / indexSeconds;
    state.SetLabel(identical ? "identical" : "DIFFERENT");
}

BENCHMARK(CorrectionIndexVsScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
