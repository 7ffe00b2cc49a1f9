#include "generation/NearestChain.h"

#include "generation/SquareRings.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace korvane {

namespace {

// The first points of the figures still to place, bucketed by plan square.
class StartGrid {
  public:
    StartGrid(const FigureList& figures, std::size_t from) : figures_(figures) {
        const std::size_t n = figures.size() - from;
        x0_ = y0_ = std::numeric_limits<double>::infinity();
        double x1 = -x0_, y1 = -y0_;
        for (std::size_t k = from; k < figures.size(); ++k) {
            const TrPkt3D& p = figures[k]->poz.front();
            x0_ = std::min<double>(x0_, p.x), x1 = std::max<double>(x1, p.x);
            y0_ = std::min<double>(y0_, p.y), y1 = std::max<double>(y1, p.y);
        }
        // About two starts a square, and no more squares along a side than
        // starts when they lie on a line.
        const double area = std::max(x1 - x0_, 1e-3) * std::max(y1 - y0_, 1e-3);
        square_ = std::max(std::sqrt(2 * area / static_cast<double>(n)),
                           std::max({x1 - x0_, y1 - y0_, 1e-3}) / static_cast<double>(n));
        columns_ = static_cast<int>((x1 - x0_) / square_) + 1;
        rows_ = static_cast<int>((y1 - y0_) / square_) + 1;
        cells_.resize(std::size_t(columns_) * std::size_t(rows_));
        where_.resize(figures.size());
        for (std::size_t k = from; k < figures.size(); ++k) {
            std::vector<std::size_t>& cell = cells_[cellOf(figures[k]->poz.front())];
            where_[k] = cell.size();
            cell.push_back(k);
        }
    }

    // The place of the figure to go next after `end` (places in the list).
    std::size_t nearest(const TrPkt3D& end) const {
        double best = std::numeric_limits<double>::infinity();
        std::size_t bestPlace = 0;
        const int cx = static_cast<int>(std::floor((end.x - x0_) / square_));
        const int cy = static_cast<int>(std::floor((end.y - y0_) / square_));
        const int reach =
            std::max({std::abs(cx), std::abs(cy), std::abs(cx - columns_), std::abs(cy - rows_)}) +
            1;
        for (int r = 0; r <= reach; ++r) {
            forSquaresOnRing(cx, cy, r, columns_, rows_, [&](int x, int y) {
                for (std::size_t place :
                     cells_[std::size_t(x) * std::size_t(rows_) + std::size_t(y)]) {
                    const double d = distance3(end, figures_[place]->poz.front());
                    if (d < best || (d == best && place < bestPlace)) best = d, bestPlace = place;
                }
            });
            // Squares beyond ring r lie at least r squares away in plan (one
            // less allowed for the rounding of the squares' bounds); the plan
            // distance never exceeds the distance in space. An equal distance
            // there could still stand first in the list.
            if (best < (r - 1) * square_) break;
        }
        return bestPlace;
    }

    // The figure at place `taken` goes to place `to`, whose figure moves to
    // `taken`; the one now at `to` is placed and leaves the grid.
    void swapAndPlace(std::size_t to, std::size_t taken) {
        remove(taken);
        if (to != taken) {
            std::vector<std::size_t>& cell = cells_[cellOf(figures_[to]->poz.front())];
            cell[where_[to]] = taken;
            where_[taken] = where_[to];
        }
    }

  private:
    std::size_t cellOf(const TrPkt3D& p) const {
        const int x = std::clamp(static_cast<int>((p.x - x0_) / square_), 0, columns_ - 1);
        const int y = std::clamp(static_cast<int>((p.y - y0_) / square_), 0, rows_ - 1);
        return std::size_t(x) * std::size_t(rows_) + std::size_t(y);
    }

    void remove(std::size_t place) {
        std::vector<std::size_t>& cell = cells_[cellOf(figures_[place]->poz.front())];
        const std::size_t last = cell.back();
        cell[where_[place]] = last;
        where_[last] = where_[place];
        cell.pop_back();
    }

    const FigureList& figures_;
    double x0_, y0_, square_;
    int columns_, rows_;
    std::vector<std::vector<std::size_t>> cells_; // places in the list, per square
    std::vector<std::size_t> where_;              // per place, its index in its square
};

} // namespace

void chainByNearestStart(FigureList& figures, std::size_t from) {
    from = std::max<std::size_t>(from, 1);
    if (from >= figures.size()) return;
    StartGrid grid(figures, from);
    for (std::size_t i = from; i < figures.size(); ++i) {
        const std::size_t best = grid.nearest(figures[i - 1]->poz.back());
        grid.swapAndPlace(i, best);
        std::swap(figures[i], figures[best]);
    }
}

} // namespace korvane
