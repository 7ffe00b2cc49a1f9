#pragma once

#include "generation/Kreski.h"
#include "generation/MotionMap.h"
#include "generation/SpiralaiLaczenie.h"
#include "geometry/Figury.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

// The spiral linking's searches written the plain way, which the program's
// must match bit for bit. The spiral transition: every point of the upper
// contour measured for every point of the lower one.
namespace korvane::test {

inline std::vector<TrPkt3D> referenceSpiralTransition(const tFigura& upper, const tFigura& lower,
                                                      double& widest) {
    const std::size_t n = lower.poz.size() - 1;
    std::vector<TrPkt3D> points;
    widest = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const TrPkt3D& p = lower.poz[k];
        const TrPkt3D* nearest = &upper.poz.front();
        double best = std::numeric_limits<double>::infinity();
        for (const TrPkt3D& q : upper.poz) {
            const double d = distance3(p, q);
            if (d < best) best = d, nearest = &q;
        }
        widest = std::max(widest, best);
        const float share = static_cast<float>(1 - double(k) / double(n));
        TrPkt3D q{p.x + share * (nearest->x - p.x), p.y + share * (nearest->y - p.y),
                  p.z + share * (nearest->z - p.z)};
        q.z = std::max(q.z, static_cast<float>(motionHeightInterpolated(q)));
        points.push_back(q);
    }
    return points;
}

// The joining of figures at the model border written the plain way: for each
// border end every figure of the list is looked at. The program's must join
// the same figures in the same way.
struct ReferenceBorderEnd {
    int figure = -1;
    bool last = false;
    double distance = std::numeric_limits<double>::infinity();
};

inline ReferenceBorderEnd referenceNearestEndOnSide(int self, const TrPkt3D& p, BorderSide side) {
    ReferenceBorderEnd best;
    if (side == BorderSide::none) return best;
    for (std::size_t j = 0; j < figureList.size(); ++j) {
        const tFigura& g = *figureList[j];
        if (int(j) == self || g.zamknieta || g.poz.empty()) continue;
        for (bool last : {false, true}) {
            const TrPkt3D& e = last ? g.poz.back() : g.poz.front();
            if (borderSide(e) != side) continue;
            const double d = distance3(p, e);
            if (d < best.distance) best = {int(j), last, d};
        }
    }
    return best;
}

inline bool referenceJoinAtBorder(int& i) {
    tFigura& f = *figureList[std::size_t(i)];
    if (f.zamknieta || f.poz.empty()) return false;
    const auto atFirst = referenceNearestEndOnSide(i, f.poz.front(), borderSide(f.poz.front()));
    const auto atLast = referenceNearestEndOnSide(i, f.poz.back(), borderSide(f.poz.back()));
    const bool useLast = atLast.figure >= 0 && atLast.distance <= atFirst.distance;
    const ReferenceBorderEnd other = useLast ? atLast : atFirst;
    if (other.figure < 0) return false;
    tFigura& g = *figureList[std::size_t(other.figure)];
    if (!useLast) std::reverse(f.poz.begin(), f.poz.end());
    if (other.last) std::reverse(g.poz.begin(), g.poz.end());
    const std::size_t connectorAt = figureList.size();
    followSurface(f.poz.back(), g.poz.front());
    const bool whole = figureList.size() == connectorAt + 1;
    if (whole) {
        const auto& connector = figureList[connectorAt]->poz;
        f.poz.insert(f.poz.end(), connector.begin(), connector.end());
        f.poz.insert(f.poz.end(), g.poz.begin(), g.poz.end());
        f.PoliczSrodek();
    }
    figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(connectorAt),
                     figureList.end());
    if (!whole) return false;
    figureList.erase(figureList.begin() + other.figure);
    if (other.figure < i) --i;
    return true;
}

inline void referenceJoinAtBorders(int figStart) {
    for (int i = figStart; i < static_cast<int>(figureList.size());)
        if (!referenceJoinAtBorder(i)) ++i;
}

// A pseudo-random stream of whole numbers below `range`.
struct Draw {
    std::uint32_t seed;
    float operator()(int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>((seed >> 8) % std::uint32_t(range));
    }
};

// `count` open figures of 2 to 5 points between two points of the border of a
// model x by y mm (a fifth of the ends inside it), on a half-mm lattice so
// that many ends lie equally far from others; a tenth of them closed.
inline FigureList borderFigures(int count, int x, int y, Draw& draw) {
    auto onBorder = [&]() -> TrPkt3D {
        const float z = 2 + draw(4) / 2;
        switch (static_cast<int>(draw(5))) {
        case 0:
            return {draw(2 * x + 1) / 2, float(y), z};
        case 1:
            return {float(x), draw(2 * y + 1) / 2, z};
        case 2:
            return {draw(2 * x + 1) / 2, 0, z};
        case 3:
            return {0, draw(2 * y + 1) / 2, z};
        default:
            return {1 + draw(2 * x - 4) / 2, 1 + draw(2 * y - 4) / 2, z};
        }
    };
    FigureList figures;
    for (int k = 0; k < count; ++k) {
        auto f = std::make_unique<tFigura>();
        f->poz.push_back(onBorder());
        for (int n = static_cast<int>(draw(4)); n > 0; --n)
            f->poz.push_back({1 + draw(2 * x - 4) / 2, 1 + draw(2 * y - 4) / 2, 3});
        f->poz.push_back(onBorder());
        f->zamknieta = draw(10) == 0;
        f->orgIndex = k;
        figures.push_back(std::move(f));
    }
    return figures;
}

// Two lists of points with the same bits.
inline bool samePoints(const std::vector<TrPkt3D>& a, const std::vector<TrPkt3D>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(),
        [](const TrPkt3D& p, const TrPkt3D& q) { return std::memcmp(&p, &q, sizeof p) == 0; });
}

} // namespace korvane::test
