#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "output/DaneWyjsciowe.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

// The clearing of a path shared by the clearances against the raster and
// against the triangles: every point raised to where the tool stands clear,
// and every move that still cuts split at its raised midpoint.
namespace korvane {

// `bound` gives raised(p), the point on the output file's grid no lower than
// the tool may stand there, and cut(a, b), how deep the straight move from a
// to b cuts at worst. A move that cuts deeper than `tolerance` gets its raised
// midpoint, until it is no longer than `shortest` (at least two steps of the
// file's grid, below which a midpoint falls on an end); such a short move that
// still cuts becomes a move across at its higher end's height, raised by what
// a level move there cuts, and vertical ones at its ends.
template <class Bound> class PathClearing {
  public:
    PathClearing(const Bound& bound, double shortest, double tolerance)
        : bound_(bound), shortest_(std::max(shortest, 2 * outputStep)), tolerance_(tolerance) {}

    void keepClear(tFigura& f) const {
        if (f.poz.empty()) return;
        std::vector<TrPkt3D> points;
        points.reserve(f.poz.size());
        clearRun(f.poz, 0, f.poz.size() - 1, true, points);
        f.poz = std::move(points);
    }

    // The moves first+1..last of `poz` cleared onto `out` (the raised point
    // `first` as well with `withStart`). A figure cleared run by run, the runs
    // joined in order, is the figure cleared whole: each point is raised on
    // its own and each move split between its two raised ends.
    void clearRun(const std::vector<TrPkt3D>& poz, std::size_t first, std::size_t last,
                  bool withStart, std::vector<TrPkt3D>& out) const {
        TrPkt3D a = bound_.raised(poz[first]);
        if (withStart) out.push_back(a);
        for (std::size_t k = first + 1; k <= last; ++k) {
            const TrPkt3D b = bound_.raised(poz[k]);
            split(a, b, out);
            a = b;
        }
    }

  private:
    void split(const TrPkt3D& a, const TrPkt3D& b, std::vector<TrPkt3D>& out) const {
        if (bound_.cut(a, b) <= tolerance_) {
            out.push_back(b);
            return;
        }
        if (std::hypot(double(b.x) - a.x, double(b.y) - a.y) <= shortest_) {
            const float top = std::max(a.z, b.z);
            const double rise = bound_.cut({a.x, a.y, top}, {b.x, b.y, top});
            const auto across = static_cast<float>(
                rise > 0 ? std::ceil((top + rise) / outputStep - 1e-6) * outputStep : top);
            if (a.z < across) out.push_back({a.x, a.y, across});
            if (b.z < across) out.push_back({b.x, b.y, across});
            out.push_back(b);
            return;
        }
        const TrPkt3D m = bound_.raised({static_cast<float>((double(a.x) + b.x) / 2),
                                         static_cast<float>((double(a.y) + b.y) / 2),
                                         static_cast<float>((double(a.z) + b.z) / 2)});
        split(a, m, out);
        split(m, b, out);
    }

    const Bound& bound_;
    double shortest_, tolerance_;
};

// Clears every figure of `figures` on `workers` threads. Long figures are
// shared out in runs of `runMoves` moves, so that one long path (a hatching is
// one figure) keeps every core busy; the result is the same as clearing each
// figure whole.
template <class Bound>
void clearFigures(const PathClearing<Bound>& clearing, FigureList& figures, int workers) {
    constexpr std::size_t runMoves = 1024;
    struct Run {
        std::size_t figure, first, last;
        std::vector<TrPkt3D> points;
    };
    std::vector<Run> runs;
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const std::size_t n = figures[i]->poz.size();
        if (n == 0) continue;
        for (std::size_t first = 0; first == 0 || first < n - 1; first += runMoves)
            runs.push_back({i, first, std::min(first + runMoves, n - 1), {}});
    }
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t r = next++; r < runs.size(); r = next++) {
            Run& run = runs[r];
            run.points.reserve(run.last - run.first + 1);
            clearing.clearRun(figures[run.figure]->poz, run.first, run.last, run.first == 0,
                              run.points);
        }
    };
    {
        std::vector<std::jthread> threads;
        for (int t = 1; t < workers; ++t) threads.emplace_back(work);
        work();
    }
    for (std::size_t r = 0; r < runs.size();) {
        std::vector<TrPkt3D>& poz = figures[runs[r].figure]->poz;
        if (runs[r].first == 0 && (r + 1 == runs.size() || runs[r + 1].figure != runs[r].figure)) {
            poz = std::move(runs[r++].points);
            continue;
        }
        std::size_t total = 0, end = r;
        for (; end < runs.size() && runs[end].figure == runs[r].figure; ++end)
            total += runs[end].points.size();
        poz.clear();
        poz.reserve(total);
        for (; r < end; ++r) poz.insert(poz.end(), runs[r].points.begin(), runs[r].points.end());
    }
}

} // namespace korvane
