#pragma once

#include "generation/StrokeEnds.h"
#include "geometry/Figury.h"

#include <algorithm>
#include <cstddef>
#include <vector>

// The plain scan the roughing's chaining must match (every figure after i at
// its level measured at both ends), and a chaining to compare the two by.
namespace korvane::test {

struct PlainEnd {
    bool found = false;
    std::size_t index = 0;
    bool last = false;
};

inline PlainEnd plainNearestEnd(const FigureList& figures, std::size_t i, double limit) {
    const tFigura& f = *figures[i];
    const TrPkt3D& end = f.poz.back();
    double best = limit;
    PlainEnd found;
    for (std::size_t j = i + 1; j < figures.size(); ++j) {
        const tFigura& g = *figures[j];
        if (g.fig_ppz != f.fig_ppz || g.count() < 2) continue;
        if (const double d = distance3(end, g.poz.front()); d < best)
            best = d, found = {true, j, false};
        if (const double d = distance3(end, g.poz.back()); d < best)
            best = d, found = {true, j, true};
    }
    return found;
}

// A join the roughing refuses (its connector could not be made, or the
// stroke is better left for later): every fifth stroke, after being turned to
// start at the end found.
inline bool refused(const tFigura& g) {
    return g.orgIndex % 5 == 0;
}

// Chains figures[from..] as the roughing does without its connectors: each
// figure in turn takes the nearest end found by `nearest` (i, the figures)
// and the figure of that end, turned to start there, is appended to it and
// erased from the list, until none is found or the join is refused. Returns
// the ranks (orgIndex) found, in order, a figure's last point marked by adding
// 1 000 000.
template <typename Nearest>
std::vector<long> chainStrokes(FigureList& figures, std::size_t from, Nearest&& nearest) {
    std::vector<long> taken;
    for (std::size_t i = from; i < figures.size(); ++i)
        for (PlainEnd e = nearest(i, figures); e.found; e = nearest(i, figures)) {
            tFigura& g = *figures[e.index];
            taken.push_back(g.orgIndex + (e.last ? 1000000 : 0));
            if (e.last) std::reverse(g.poz.begin(), g.poz.end());
            if (refused(g)) break;
            figures[i]->poz.insert(figures[i]->poz.end(), g.poz.begin(), g.poz.end());
            figures.erase(figures.begin() + static_cast<std::ptrdiff_t>(e.index));
        }
    return taken;
}

// The chaining's lookups through StrokeEnds built over figures[from..], told
// of the strokes turned and joined as the roughing tells it.
inline auto bySquares(StrokeEnds& ends, std::size_t from, double limit) {
    return [&ends, from, limit](std::size_t i, const FigureList& figures) {
        ends.remove(static_cast<std::size_t>(figures[i]->orgIndex) - from);
        const tFigura& f = *figures[i];
        const auto end = ends.nearest(f.poz.back(), f.fig_ppz, limit);
        if (!end) return test::PlainEnd{};
        const auto at = std::partition_point(
            figures.begin() + static_cast<std::ptrdiff_t>(i) + 1, figures.end(),
            [&](const auto& g) {
                return static_cast<std::size_t>(g->orgIndex) - from < end->rank;
            });
        if (end->last) ends.turn(end->rank);
        if (!refused(**at)) ends.remove(end->rank);
        return test::PlainEnd{true, static_cast<std::size_t>(at - figures.begin()), end->last};
    };
}

} // namespace korvane::test
