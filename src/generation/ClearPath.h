#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "output/DaneWyjsciowe.h"

#include <algorithm>
#include <cmath>
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
        for (TrPkt3D& p : f.poz) p = bound_.raised(p);
        std::vector<TrPkt3D> points{f.poz.front()};
        points.reserve(f.poz.size());
        for (std::size_t k = 1; k < f.poz.size(); ++k) split(f.poz[k - 1], f.poz[k], points);
        f.poz = std::move(points);
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

} // namespace korvane
