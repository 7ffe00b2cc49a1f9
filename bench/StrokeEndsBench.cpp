// The roughing's chaining of a layer's strokes: the nearest end looked up by
// plan squares against the plain scan over every stroke after the one being
// extended, on columns of strokes 1 mm apart (1 000 to 40 000 strokes), checked
// to take the same ends in the same order.
#include "GenerationRuns.h"
#include "StrokeEndsReference.h"

#include <cstdint>

using namespace korvane;
using bench::seconds;

namespace {

// Arg: strokes. Runs on a 0.2 mm grid in columns 1 mm apart, 80 mm long.
void StrokeChainAgainstPlainScan(benchmark::State& state) {
    std::uint32_t seed = 5;
    auto next = [&](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    FigureList strokes;
    for (int column = 0; static_cast<long>(strokes.size()) < state.range(0); ++column)
        for (int y = next(10); y < 400 && static_cast<long>(strokes.size()) < state.range(0);
             y += 2 + next(20)) {
            const int length = next(20);
            auto f = std::make_unique<tFigura>();
            f->poz = {{static_cast<float>(column), y * 0.2f, 3},
                      {static_cast<float>(column), (y + length) * 0.2f, 3}};
            f->fig_ppz = 3;
            f->orgIndex = static_cast<int>(strokes.size());
            strokes.push_back(std::move(f));
            y += length;
        }
    double squares = 0, plain = 0;
    bool same = true;
    for (auto _ : state) {
        FigureList a = bench::copyOf(strokes), b = bench::copyOf(strokes);
        std::vector<long> byPlain, bySquares;
        plain += seconds([&] {
            byPlain = test::chainStrokes(a, 0, [](std::size_t i, const FigureList& f) {
                return test::plainNearestEnd(f, i, 5.0);
            });
        });
        squares += seconds([&] {
            StrokeEnds ends(b, 0, 1.0);
            bySquares = test::chainStrokes(b, 0, test::bySquares(ends, 0, 5.0));
        });
        same = same && byPlain == bySquares;
    }
    bench::reportSquaresAgainstPlain(state, squares, plain, same, "same ends", "ENDS DIFFER");
}

BENCHMARK(StrokeChainAgainstPlainScan)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
