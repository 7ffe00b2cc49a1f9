// The reduction of long figures (the thinning of every path before output):
// a straight run, a gentle arc and a noisy line of 20 000 points each, against
// the plain reduction that works out every deviation again for each new end
// point, in the same run; the kept points are checked to be the same.
#include "ReductionReference.h"

#include "generation/GenState.h"
#include "generation/Redukcja.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>

using namespace korvane;

namespace {

std::vector<TrPkt3D> longFigure(int kind) {
    std::vector<TrPkt3D> f;
    std::uint32_t seed = 1;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = ((seed >> 8) & 0xFFFF) / 65536.0 - 0.5;
        if (kind == 0) f.push_back({i * 0.01f, i * 0.005f, 3 + i * 0.0001f});
        if (kind == 1)
            f.push_back({static_cast<float>(500 * std::cos(i * 1e-4)),
                         static_cast<float>(500 * std::sin(i * 1e-4)), 2});
        if (kind == 2) f.push_back({i * 0.05f, static_cast<float>(0.02 * noise), 1});
    }
    return f;
}

double seconds(auto&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Arg: 0 straight, 1 arc, 2 noisy line.
void ReduceLongFigure(benchmark::State& state) {
    const auto figure = longFigure(static_cast<int>(state.range(0)));
    const double tolerance = 0.05;
    double ours = 0, plain = 0;
    bool same = true;
    std::size_t kept = 0;
    for (auto _ : state) {
        figureList.clear();
        auto f = std::make_unique<tFigura>();
        f->poz = figure;
        addFigure(std::move(f));
        ours += seconds([&] { reduceFigure(0, tolerance); });
        std::vector<TrPkt3D> want;
        plain += seconds([&] { want = test::plainReduction(figure, tolerance); });
        const auto& got = figureList[0]->poz;
        kept = got.size();
        same = same && got.size() == want.size() &&
               std::equal(got.begin(), got.end(), want.begin(), [](const auto& a, const auto& b) {
                   return a.x == b.x && a.y == b.y && a.z == b.z;
               });
    }
    figureList.clear();
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = 1000 * ours / n;
    state.counters["plain_ms"] = 1000 * plain / n;
    state.counters["plain_x"] = plain / ours;
    state.counters["kept"] = static_cast<double>(kept);
    state.SetLabel(same ? "same points" : "POINTS DIFFER");
}

BENCHMARK(ReduceLongFigure)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
