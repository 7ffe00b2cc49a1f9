#include "generation/StrokeEnds.h"

#include "generation/SquareRings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

StrokeEnds::StrokeEnds(const FigureList& figures, std::size_t first, double square) {
    const std::size_t n = figures.size() > first ? figures.size() - first : 0;
    double x1 = 0, y1 = 0;
    bool any = false;
    for (std::size_t k = first; k < figures.size(); ++k)
        for (const TrPkt3D& p : {figures[k]->poz.front(), figures[k]->poz.back()}) {
            if (!any) x0_ = x1 = p.x, y0_ = y1 = p.y, any = true;
            x0_ = std::min<double>(x0_, p.x), x1 = std::max<double>(x1, p.x);
            y0_ = std::min<double>(y0_, p.y), y1 = std::max<double>(y1, p.y);
        }
    // No more squares along a side than ends.
    square_ =
        std::max({square, (x1 - x0_) / double(2 * n + 1), (y1 - y0_) / double(2 * n + 1), 1e-3});
    columns_ = static_cast<int>((x1 - x0_) / square_) + 1;
    rows_ = static_cast<int>((y1 - y0_) / square_) + 1;
    squares_.resize(std::size_t(columns_) * std::size_t(rows_));
    squareOfEnd_.resize(2 * n);
    where_.resize(2 * n);
    for (std::size_t rank = 0; rank < n; ++rank) {
        const tFigura& f = *figures[first + rank];
        if (f.poz.empty()) continue;
        for (const bool last : {false, true}) {
            const TrPkt3D& p = last ? f.poz.back() : f.poz.front();
            const std::size_t end = 2 * rank + last, s = squareOf(p);
            squareOfEnd_[end] = s;
            where_[end] = squares_[s].size();
            squares_[s].push_back({p, &f, rank, last});
        }
    }
}

std::size_t StrokeEnds::squareOf(const TrPkt3D& p) const {
    const int x = std::clamp(static_cast<int>((p.x - x0_) / square_), 0, columns_ - 1);
    const int y = std::clamp(static_cast<int>((p.y - y0_) / square_), 0, rows_ - 1);
    return std::size_t(x) * std::size_t(rows_) + std::size_t(y);
}

std::optional<StrokeEnds::End> StrokeEnds::nearest(const TrPkt3D& p, double level,
                                                   double limit) const {
    std::optional<End> found;
    double best = limit;
    const int cx = static_cast<int>(std::floor((p.x - x0_) / square_));
    const int cy = static_cast<int>(std::floor((p.y - y0_) / square_));
    const int reach =
        std::max({std::abs(cx), std::abs(cy), std::abs(cx - columns_), std::abs(cy - rows_)}) + 1;
    for (int r = 0; r <= reach; ++r) {
        forSquaresOnRing(cx, cy, r, columns_, rows_, [&](int x, int y) {
            for (const Entry& e : squares_[std::size_t(x) * std::size_t(rows_) + std::size_t(y)]) {
                if (e.figure->fig_ppz != level || e.figure->count() < 2) continue;
                const double d = distance3(p, e.point);
                const bool before =
                    !found || e.rank < found->rank || (e.rank == found->rank && !e.last);
                if (d < best || (found && d == best && before)) {
                    best = d;
                    found = End{e.rank, e.last};
                }
            }
        });
        // Squares beyond ring r lie at least r squares away in plan (one less
        // allowed for the rounding of their bounds), and the plan distance
        // never exceeds the distance in space: nothing there comes nearer, nor
        // as near to stand before the one found.
        if (best < (r - 1) * square_) break;
    }
    return found;
}

StrokeEnds::Entry* StrokeEnds::entryOf(std::size_t end) {
    std::vector<Entry>& square = squares_[squareOfEnd_[end]];
    const std::size_t at = where_[end];
    const bool held =
        at < square.size() && square[at].rank == end / 2 && square[at].last == (end & 1);
    return held ? &square[at] : nullptr;
}

void StrokeEnds::remove(std::size_t rank) {
    for (const std::size_t end : {2 * rank, 2 * rank + 1}) {
        if (!entryOf(end)) continue; // already gone
        std::vector<Entry>& square = squares_[squareOfEnd_[end]];
        const Entry moved = square.back();
        square[where_[end]] = moved;
        where_[2 * moved.rank + moved.last] = where_[end];
        square.pop_back();
    }
}

void StrokeEnds::turn(std::size_t rank) {
    const std::size_t first = 2 * rank, last = first + 1;
    Entry* a = entryOf(first);
    Entry* b = entryOf(last);
    if (!a || !b) return;
    a->last = true;
    b->last = false;
    std::swap(squareOfEnd_[first], squareOfEnd_[last]);
    std::swap(where_[first], where_[last]);
}

} // namespace korvane
