// Planes (type 2) and the mixed strategy (type 5) generated whole on the test
// relief of 80 x 60 mm (waves, a block, a spike) at 5 and 10 cells per mm, with
// the seconds and the share of each phase (the mixed strategy's sub-steps among
// them). And the gaps of the mixed strategy: found by the program's search
// against the plain loop, then filled on one thread against all of them, each
// checked to give the same jobs and figures. And the spirals' transitions from
// one contour down to the next, by plan squares against the plain loop, and
// the joining of figures at the model border by the ends along each side
// against the plain loop.
#include "GapSupport.h"
#include "GenerationRuns.h"
#include "SpiralReference.h"
#include "SweepSupport.h"

#include "generation/DodajPixRuchuThread.h"
#include "generation/DodatkoweWatek.h"
#include "generation/Kontury.h"
#include "generation/RegionMask.h"
#include "generation/SpiralaiLaczenie.h"
#include "geometry/Raster.h"
#include "import/BMPtoRAW.h"

#include <ctime>

using namespace korvane;
using bench::seconds;

namespace {

// Processor seconds of the whole program so far, over all its threads.
double processorSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

TOperacjaDane operation(int type) {
    TOperacjaDane o;
    o.nazwa = type == opPlanes ? "Planes" : "Mixed";
    o.idTyp = type;
    o.warstwaSzer = 0.5;
    o.polaczoneKonce = true;
    o.granicaZgorna = 170;
    o.szybkosc = 3000;
    return o;
}

// Args: operation type, cells per mm.
void GenerateOnTestRelief(benchmark::State& state) {
    const bench::OutputFolder data("korvane-bench-pm");
    test::makeRelief(80, 60, static_cast<double>(state.range(1)));
    fillMaterialRaster(1000);
    rasterReady = true;
    materialRasterReady = true;
    bench::GenerationRuns runs;
    for (auto _ : state) runs.run(operation(static_cast<int>(state.range(0))));
    runs.report(state);
}

BENCHMARK(GenerateOnTestRelief)
    ->ArgNames({"type", "cellsPerMm"})
    ->Args({opPlanes, 5})
    ->Args({opPlanes, 10})
    ->Args({opMixed, 5})
    ->Args({opMixed, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The mixed strategy on the sample picture made a 6 mm relief of 80 x 60 mm,
// the many small contours of a photographic relief; figures and points as
// counters so that runs of different builds can be compared. Arg: cells per mm.
void GenerateMixedOnSampleRelief(benchmark::State& state) {
    const bench::OutputFolder data("korvane-bench-mixed");
    pixelSize = 1.0 / static_cast<double>(state.range(0));
    if (!GenerujPix2D(bench::samplePicture(), BitmapRelief{6, 0, 80, 60})) {
        state.SkipWithError("the sample relief could not be read");
        return;
    }
    fillMaterialRaster(1000);
    rasterReady = true;
    materialRasterReady = true;
    bench::GenerationRuns runs;
    for (auto _ : state) runs.run(operation(opMixed));
    runs.report(state);
    state.counters["length_mm"] = runs.last.length;
}

BENCHMARK(GenerateMixedOnSampleRelief)
    ->Arg(5)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// Contours of the test relief's motion map every 2.5 mm and, 2 mm above each,
// the contours inside them derived from them: gaps of about 2 mm for a step of
// 0.5 mm. The gaps are found by the program and by the plain loop.
void contoursOfTheRelief(double cellsPerMm) {
    test::makeRelief(200, 150, cellsPerMm);
    offsetHeights = modelHeights;
    clearLayer(motionHeights);
    sweepTool(TFrez(bench::ball3), motionWorkerCount());
    offsetHeights = motionHeights;
    figureList.clear();
    for (double z = 0.5; z < 11; z += 2.5) {
        const size_t parents = figureList.size();
        traceContours(motionHeights, 0, 0, rasterSizeX, rasterSizeY, z);
        const size_t children = figureList.size();
        traceContours(motionHeights, 0, 0, rasterSizeX, rasterSizeY, z + 2);
        for (size_t c = children; c < figureList.size(); ++c) {
            tFigura& child = *figureList[c];
            classifyContour(child);
            for (size_t p = parents; p < children; ++p) {
                const tFigura& parent = *figureList[p];
                if (parent.zamknieta && parent.Pmin.x < child.Pmin.x &&
                    parent.Pmin.y < child.Pmin.y && parent.Pmax.x > child.Pmax.x &&
                    parent.Pmax.y > child.Pmax.y)
                    child.pochodzi = static_cast<int>(p);
            }
        }
    }
}

// Arg: cells per mm.
void GapFillingOneThreadAgainstAll(benchmark::State& state) {
    contoursOfTheRelief(static_cast<double>(state.range(0)));
    const size_t contours = figureList.size();
    const int count = static_cast<int>(contours);
    std::vector<GapJob> jobs, plainJobs;
    const double plainSeconds = seconds([&] { plainJobs = test::referenceGapJobs(count, 0.5); });
    const double searchSeconds = seconds([&] { jobs = gapJobs(count, 0.5); });
    const int workers = motionWorkerCount();
    double oneSeconds = 0, allSeconds = 0, oneCpu = 0, allCpu = 0;
    bool identical = true;
    for (auto _ : state) {
        figureList.resize(contours);
        oneCpu -= processorSeconds();
        oneSeconds += seconds([&] { fillGaps(jobs, 1); });
        oneCpu += processorSeconds();
        FigureList one;
        for (size_t k = contours; k < figureList.size(); ++k)
            one.push_back(std::move(figureList[k]));
        figureList.resize(contours);
        allCpu -= processorSeconds();
        allSeconds += seconds([&] { fillGaps(jobs, workers); });
        allCpu += processorSeconds();
        identical = identical && one.size() == figureList.size() - contours;
        for (size_t k = 0; identical && k < one.size(); ++k)
            identical = one[k]->poz.size() == figureList[contours + k]->poz.size() &&
                        std::equal(one[k]->poz.begin(), one[k]->poz.end(),
                                   figureList[contours + k]->poz.begin(),
                                   [](const TrPkt3D& a, const TrPkt3D& b) {
                                       return a.x == b.x && a.y == b.y && a.z == b.z;
                                   });
    }
    if (!test::sameJobs(jobs, plainJobs)) {
        state.SkipWithError("the gap search found other gaps than the plain loop");
        identical = false;
    }
    if (!identical) state.SkipWithError("the threads made other figures than one thread");
    state.counters["gapsPlain_s"] = plainSeconds;
    state.counters["gapsSearch_s"] = searchSeconds;
    state.counters["gapsRatio"] = plainSeconds / searchSeconds;
    const double n = static_cast<double>(state.iterations());
    state.counters["jobs"] = static_cast<double>(jobs.size());
    state.counters["contours"] = static_cast<double>(figureList.size() - contours);
    state.counters["workers"] = workers;
    state.counters["one_s"] = oneSeconds / n;
    state.counters["all_s"] = allSeconds / n;
    state.counters["speedup"] = oneSeconds / allSeconds;
    // The processor time of the whole program: on a loaded machine the threads
    // may wait for a processor, but the work they add shows here.
    state.counters["one_cpu_s"] = oneCpu / n;
    state.counters["all_cpu_s"] = allCpu / n;
    state.SetLabel(identical ? "identical" : "DIFFERENT");
    figureList.clear();
}

BENCHMARK(GapFillingOneThreadAgainstAll)
    ->Arg(5)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The closed contours of the 80 x 60 mm test relief's motion map every 0.5 mm
// (the mixed operation's step), each drawn down onto every closed contour half
// a mm lower whose box lies within the spirals' reach (2 mm) of its own: the
// transitions by plan squares against the plain loop, checked to give the same
// points. Arg: cells per mm.
void SpiralTransitionsAgainstPlainLoop(benchmark::State& state) {
    test::makeRelief(80, 60, static_cast<double>(state.range(0)));
    offsetHeights = modelHeights;
    clearLayer(motionHeights);
    sweepTool(TFrez(bench::ball3), motionWorkerCount());
    figureList.clear();
    const double step = 0.5, reach = 4 * step;
    std::vector<std::pair<size_t, size_t>> levels; // each level's first and end figure
    for (double z = 0.5; z < 12; z += step) {
        const size_t first = figureList.size();
        traceContours(motionHeights, 0, 0, rasterSizeX, rasterSizeY, z);
        levels.emplace_back(first, figureList.size());
    }
    for (const auto& f : figureList) f->PoliczSrodek();
    std::vector<std::pair<const tFigura*, const tFigura*>> pairs;
    size_t points = 0;
    for (size_t l = 1; l < levels.size(); ++l)
        for (size_t u = levels[l].first; u < levels[l].second; ++u)
            for (size_t d = levels[l - 1].first; d < levels[l - 1].second; ++d) {
                const tFigura &upper = *figureList[u], &lower = *figureList[d];
                if (!upper.zamknieta || !lower.zamknieta || lower.count() < 2) continue;
                if (upper.Pmin.x - reach > lower.Pmax.x || lower.Pmin.x - reach > upper.Pmax.x ||
                    upper.Pmin.y - reach > lower.Pmax.y || lower.Pmin.y - reach > upper.Pmax.y)
                    continue;
                pairs.emplace_back(&upper, &lower);
                points += upper.poz.size() + lower.poz.size();
            }
    double squares = 0, plain = 0;
    bool same = true;
    for (auto _ : state) {
        std::vector<std::vector<TrPkt3D>> turns, plainTurns;
        std::vector<double> widest(pairs.size()), plainWidest(pairs.size());
        squares += seconds([&] {
            for (size_t k = 0; k < pairs.size(); ++k)
                turns.push_back(
                    spiralTransition(*pairs[k].first, *pairs[k].second, reach / 4, widest[k]));
        });
        plain += seconds([&] {
            for (size_t k = 0; k < pairs.size(); ++k)
                plainTurns.push_back(test::referenceSpiralTransition(
                    *pairs[k].first, *pairs[k].second, plainWidest[k]));
        });
        for (size_t k = 0; k < pairs.size(); ++k)
            same = same && widest[k] == plainWidest[k] && test::samePoints(turns[k], plainTurns[k]);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["pairs"] = static_cast<double>(pairs.size());
    state.counters["points"] = static_cast<double>(points);
    state.counters["squares_s"] = squares / n;
    state.counters["plain_s"] = plain / n;
    state.counters["plain_x"] = plain / squares;
    state.SetLabel(same ? "same points" : "POINTS DIFFER");
    figureList.clear();
}

BENCHMARK(SpiralTransitionsAgainstPlainLoop)
    ->Arg(5)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// Open figures between points of the border of an 80 x 60 mm relief at 5
// cells per mm (a fifth of the ends inside), joined at the border by the ends
// along each side and by the plain loop over every figure, checked to give the
// same figures. Arg: figures.
void BorderJoiningAgainstPlainLoop(benchmark::State& state) {
    test::makeRelief(80, 60, 5);
    motionHeights = modelHeights;
    lowLimit = 0;
    highLimit = 170;
    test::Draw draw{11};
    const FigureList start = test::borderFigures(static_cast<int>(state.range(0)), 80, 60, draw);
    auto copy = [&] {
        figureList.clear();
        for (const auto& f : start) figureList.push_back(std::make_unique<tFigura>(*f));
    };
    double sides = 0, plain = 0;
    bool same = true;
    size_t joined = 0;
    for (auto _ : state) {
        copy();
        sides += seconds([] { joinAtBorders(0); });
        const FigureList bySides = std::move(figureList);
        copy();
        plain += seconds([] { test::referenceJoinAtBorders(0); });
        same = same && bySides.size() == figureList.size();
        for (size_t k = 0; same && k < bySides.size(); ++k)
            same = test::samePoints(bySides[k]->poz, figureList[k]->poz);
        joined = start.size() - bySides.size();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["joins"] = static_cast<double>(joined);
    state.counters["sides_s"] = sides / n;
    state.counters["plain_s"] = plain / n;
    state.counters["plain_x"] = plain / sides;
    state.SetLabel(same ? "same figures" : "FIGURES DIFFER");
    figureList.clear();
}

BENCHMARK(BorderJoiningAgainstPlainLoop)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
