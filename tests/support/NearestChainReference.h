#pragma once

#include "geometry/Figury.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>

// The plain greedy chain the program's chainByNearestStart must match figure for
// figure: every remaining figure measured at every place.
namespace korvane::test {

inline void referenceChainByNearestStart(FigureList& figures, std::size_t from) {
    for (std::size_t i = std::max<std::size_t>(from, 1); i < figures.size(); ++i) {
        const TrPkt3D& end = figures[i - 1]->poz.back();
        std::size_t best = i;
        double bestDistance = std::numeric_limits<double>::infinity();
        for (std::size_t j = i; j < figures.size(); ++j) {
            const double d = distance3(end, figures[j]->poz.front());
            if (d < bestDistance) best = j, bestDistance = d;
        }
        std::swap(figures[i], figures[best]);
    }
}

} // namespace korvane::test
