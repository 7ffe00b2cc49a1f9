#include "generation/SpiralaiLaczenie.h"

#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/Kreski.h"
#include "generation/MotionMap.h"
#include "generation/NearestPoint.h"
#include "generation/Warstwowa.h"
#include "geometry/Figury.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>

namespace korvane {

namespace {

struct Nearest {
    int figure = -1;
    size_t point = 0;
    double distance = std::numeric_limits<double>::infinity();
};

// The plan distance from p to the box of f (0 inside it).
double boxDistance(const TrPkt3D& p, const tFigura& f) {
    const double dx = std::max({double(f.Pmin.x) - p.x, 0.0, double(p.x) - f.Pmax.x});
    const double dy = std::max({double(f.Pmin.y) - p.y, 0.0, double(p.y) - f.Pmax.y});
    return std::hypot(dx, dy);
}

// The figures of the list by plan squares: each listed, in list order, in
// every square its box grown by `reach` touches, so that the figures whose box
// lies within reach of a point are among those of the point's square.
class FiguresNear {
  public:
    FiguresNear(const FigureList& figures, double reach) {
        // A little beyond reach, so that rounding never leaves one out.
        const double grow = reach * 1.001 + pixelSize;
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool any = false;
        for (const auto& f : figures) {
            if (f->poz.empty()) continue;
            if (!any) x0 = f->Pmin.x, y0 = f->Pmin.y, x1 = f->Pmax.x, y1 = f->Pmax.y, any = true;
            x0 = std::min<double>(x0, f->Pmin.x), y0 = std::min<double>(y0, f->Pmin.y);
            x1 = std::max<double>(x1, f->Pmax.x), y1 = std::max<double>(y1, f->Pmax.y);
        }
        x0_ = x0 - grow, y0_ = y0 - grow;
        // No more than 1024 squares a side.
        square_ = std::max({reach, (x1 - x0 + 2 * grow) / 1024, (y1 - y0 + 2 * grow) / 1024});
        columns_ = column(x1 + grow) + 1;
        rows_ = row(y1 + grow) + 1;
        squares_.resize(size_t(columns_) * size_t(rows_));
        for (size_t j = 0; j < figures.size(); ++j) {
            const tFigura& f = *figures[j];
            if (f.poz.empty()) continue;
            for (int x = column(f.Pmin.x - grow); x <= column(f.Pmax.x + grow); ++x)
                for (int y = row(f.Pmin.y - grow); y <= row(f.Pmax.y + grow); ++y)
                    squares_[size_t(x) * size_t(rows_) + size_t(y)].push_back(int(j));
        }
    }

    // Ascending positions; among them every figure whose box lies within reach of p.
    const std::vector<int>& around(const TrPkt3D& p) const {
        return squares_[size_t(column(p.x)) * size_t(rows_) + size_t(row(p.y))];
    }

  private:
    int column(double x) const {
        return std::clamp(static_cast<int>(std::floor((x - x0_) / square_)), 0,
                          std::max(columns_ - 1, 0));
    }
    int row(double y) const {
        return std::clamp(static_cast<int>(std::floor((y - y0_) / square_)), 0,
                          std::max(rows_ - 1, 0));
    }

    double x0_ = 0, y0_ = 0, square_ = 1;
    int columns_ = 1 << 30, rows_ = 1 << 30; // unbounded while the squares are laid out
    std::vector<std::vector<int>> squares_;
};

// The figures' points by plan squares, made when first asked for; a figure
// whose points change is forgotten.
class FigureIndexes {
  public:
    FigureIndexes(size_t count, double square) : indexes_(count), square_(square) {}
    const NearestPoint& of(int j) {
        auto& index = indexes_[size_t(j)];
        if (!index) index = std::make_unique<NearestPoint>(figureList[size_t(j)]->poz, square_);
        return *index;
    }
    void forget(int j) { indexes_[size_t(j)].reset(); }

  private:
    std::vector<std::unique_ptr<NearestPoint>> indexes_;
    double square_;
};

// The point nearest the end of `current` on the closed contours lower than it
// whose start lies at most `reach` and a cell below that end (for a printer
// also within a cell of its height), when it lies nearer than `reach`;
// otherwise none nearer than reach.
Nearest nearestLower(int current, double reach, const FiguresNear& near, FigureIndexes& indexes) {
    const tFigura& c = *figureList[size_t(current)];
    const TrPkt3D& end = c.poz.back();
    Nearest best;
    for (const int j : near.around(end)) {
        const tFigura& t = *figureList[size_t(j)];
        if (j == current || !t.zamknieta || t.doUsuniecia || t.count() < 2) continue;
        if (!(t.fig_ppz < c.fig_ppz) || end.z - t.poz.front().z > reach + pixelSize) continue;
        if (settings.printer3D && std::fabs(end.z - t.poz.front().z) > pixelSize) continue;
        if (boxDistance(end, t) > best.distance) continue;
        // The closing point repeats the first.
        const NearestPoint::Found found = indexes.of(j).nearest(end, t.poz.size() - 1);
        if (found.distance < best.distance) best = {j, found.index, found.distance};
    }
    return best;
}

void rotateClosed(tFigura& f, size_t start) {
    f.poz.pop_back();
    std::rotate(f.poz.begin(), f.poz.begin() + static_cast<std::ptrdiff_t>(start), f.poz.end());
    f.poz.push_back(f.poz.front());
}

// spiralTransition with the points of `upperFigure` looked up in `upper`.
std::vector<TrPkt3D> transition(const NearestPoint& upper, const tFigura& upperFigure,
                                const tFigura& lower, double& widest) {
    const size_t n = lower.poz.size() - 1;
    std::vector<TrPkt3D> points;
    points.reserve(n);
    widest = 0;
    for (size_t k = 0; k < n; ++k) {
        const TrPkt3D& p = lower.poz[k];
        const NearestPoint::Found found = upper.nearest(p, upperFigure.poz.size());
        const TrPkt3D& nearest = upperFigure.poz[found.index];
        widest = std::max(widest, found.distance);
        const float share = static_cast<float>(1 - double(k) / double(n));
        TrPkt3D q{p.x + share * (nearest.x - p.x), p.y + share * (nearest.y - p.y),
                  p.z + share * (nearest.z - p.z)};
        // Between two contours of a bump the straight blend runs under the
        // surface: it stands on the motion map there.
        q.z = std::max(q.z, static_cast<float>(motionHeightInterpolated(q)));
        points.push_back(q);
    }
    return points;
}

void makeSpirals(int figStart, double reach) {
    for (const auto& f : figureList) f->PoliczSrodek();
    const FiguresNear near(figureList, reach);
    const int count = static_cast<int>(figureList.size());
    FigureIndexes indexes(figureList.size(), reach / 4);
    for (int c = figStart; c < count; ++c) {
        if (generationTerminate) break;
        if (!figureList[size_t(c)]->zamknieta || figureList[size_t(c)]->doUsuniecia) continue;
        std::unique_ptr<tFigura> spiral;
        int current = c;
        for (;;) {
            const Nearest next = nearestLower(current, reach, near, indexes);
            if (!(next.distance < reach)) break;
            tFigura& upper = *figureList[size_t(current)];
            tFigura& lower = *figureList[size_t(next.figure)];
            if (lower.dzielona && lower.pochodzi == upper.orgIndex) break;
            rotateClosed(lower, next.point);
            indexes.forget(next.figure);
            double widest = 0;
            std::vector<TrPkt3D> turn = transition(indexes.of(current), upper, lower, widest);
            if (widest > reach) break;
            if (!spiral) {
                // A printer's spiral begins with the first transition, which
                // leaves the top contour at its point nearest the next one;
                // the top contour itself is not kept.
                spiral = std::make_unique<tFigura>();
                if (!settings.printer3D) spiral->poz = upper.poz;
                upper.doUsuniecia = true;
            }
            spiral->poz.insert(spiral->poz.end(), turn.begin(), turn.end());
            lower.doUsuniecia = true;
            current = next.figure;
        }
        if (!spiral) continue;
        // The lowest contour once round at its own level.
        const tFigura& last = *figureList[size_t(current)];
        spiral->poz.insert(spiral->poz.end(), last.poz.begin(), last.poz.end());
        spiral->fig_ppz = last.fig_ppz;
        spiral->zamknieta = false;
        spiral->laczona = true;
        spiral->spirala = 1;
        spiral->PoliczSrodek();
        addFigure(std::move(spiral));
    }
    std::erase_if(figureList, [](const auto& f) { return f->doUsuniecia; });
}

// The ends of the open figures of figureList that lie on the model border,
// each side's in the order of their place along it: the end nearest a point of
// that side is among those whose place lies no farther from the point's than
// the best distance found, a few around it. Of equal distances the figure
// standing first in the list wins, and of its two ends the first.
class BorderEnds {
  public:
    struct Found {
        size_t figure = 0;
        bool last = false;
        double distance = std::numeric_limits<double>::infinity();
        bool found() const { return distance < std::numeric_limits<double>::infinity(); }
    };

    BorderEnds() : held_(figureList.size()) {
        for (size_t j = 0; j < figureList.size(); ++j) add(j);
    }

    // Takes in the ends of figure j as they are now.
    void add(size_t j) {
        const tFigura& g = *figureList[j];
        if (g.zamknieta || g.poz.empty()) return;
        for (const bool last : {false, true}) {
            const TrPkt3D& e = last ? g.poz.back() : g.poz.front();
            const BorderSide side = borderSide(e);
            if (side == BorderSide::none) continue;
            held_[j].emplace_back(side, sides_[size_t(side)].emplace(along(e, side), End{j, last}));
        }
    }

    // Lets go of the ends of figure j, before they change or it goes.
    void remove(size_t j) {
        for (const auto& [side, entry] : held_[j]) sides_[size_t(side)].erase(entry);
        held_[j].clear();
    }

    // The end of another open figure than `self` nearest to p on the same side.
    Found nearest(size_t self, const TrPkt3D& p, BorderSide side) const {
        Found best;
        if (side == BorderSide::none) return best;
        const auto& ends = sides_[size_t(side)];
        const double at = along(p, side);
        auto consider = [&](const End& e) {
            if (e.figure == self) return;
            const tFigura& g = *figureList[e.figure];
            const double d = distance3(p, e.last ? g.poz.back() : g.poz.front());
            if (d < best.distance ||
                (d == best.distance &&
                 (e.figure < best.figure || (e.figure == best.figure && !e.last && best.last))))
                best = {e.figure, e.last, d};
        };
        // A place farther along than the best distance is farther in space too;
        // the slack covers the rounding of the distances.
        const auto from = ends.lower_bound(at);
        for (auto it = from; it != ends.end() && it->first - at <= best.distance + 1e-9; ++it)
            consider(it->second);
        for (auto it = from; it != ends.begin();) {
            --it;
            if (at - it->first > best.distance + 1e-9) break;
            consider(it->second);
        }
        return best;
    }

  private:
    struct End {
        size_t figure;
        bool last;
    };
    using Ends = std::multimap<double, End>;

    // The place of p along its side: x along the top and the bottom, y along
    // the right and the left.
    static double along(const TrPkt3D& p, BorderSide side) {
        return side == BorderSide::top || side == BorderSide::bottom ? p.x : p.y;
    }

    std::array<Ends, 5> sides_; // by BorderSide, none unused
    std::vector<std::vector<std::pair<BorderSide, Ends::iterator>>> held_; // by figure
};

// Joins figure i to the open figure whose end lies nearest one of its border
// ends on the same side, over a connector along the surface; the figure joined
// to it is marked `away`.
bool joinAtBorder(size_t i, BorderEnds& ends, std::vector<char>& away) {
    tFigura& f = *figureList[i];
    if (f.zamknieta || f.poz.empty()) return false;
    const BorderEnds::Found atFirst = ends.nearest(i, f.poz.front(), borderSide(f.poz.front()));
    const BorderEnds::Found atLast = ends.nearest(i, f.poz.back(), borderSide(f.poz.back()));
    const bool useLast = atLast.found() && atLast.distance <= atFirst.distance;
    const BorderEnds::Found other = useLast ? atLast : atFirst;
    if (!other.found()) return false;
    tFigura& g = *figureList[other.figure];
    ends.remove(i);
    ends.remove(other.figure);
    if (!useLast) std::reverse(f.poz.begin(), f.poz.end());
    if (other.last) std::reverse(g.poz.begin(), g.poz.end());

    const size_t connectorAt = figureList.size();
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
    ends.add(i);
    if (!whole) { // the way along the border leaves the height window
        ends.add(other.figure);
        return false;
    }
    away[other.figure] = 1;
    return true;
}

} // namespace

std::vector<TrPkt3D> spiralTransition(const tFigura& upper, const tFigura& lower, double square,
                                      double& widest) {
    return transition(NearestPoint(upper.poz, square), upper, lower, widest);
}

void joinAtBorders(int figStart) {
    // The figures joined to others leave the list at the end, so that places
    // stay put meanwhile.
    BorderEnds ends;
    std::vector<char> away(figureList.size(), 0);
    for (size_t i = size_t(std::max(figStart, 0)); i < away.size() && !generationTerminate;)
        if (away[i] || !joinAtBorder(i, ends, away)) ++i;
    size_t kept = 0;
    for (size_t j = 0; j < away.size(); ++j)
        if (!away[j]) figureList[kept++] = std::move(figureList[j]);
    figureList.resize(kept);
}

BorderSide borderSide(const TrPkt3D& p) {
    if (p.y > modelSize.y - pixelSize) return BorderSide::top;
    if (p.x > modelSize.x - pixelSize) return BorderSide::right;
    if (p.y < pixelSize) return BorderSide::bottom;
    if (p.x < pixelSize) return BorderSide::left;
    return BorderSide::none;
}

bool linkClearOfMotionMap(const TrPkt3D& p, const TrPkt3D& q) {
    constexpr double tolerance = 1e-4; // heights are Singles
    const double length = std::hypot(double(q.x) - p.x, double(q.y) - p.y);
    const int steps = std::max(1, static_cast<int>(std::ceil(2 * length / pixelSize)));
    for (int k = 0; k <= steps; ++k) {
        const double t = double(k) / steps;
        const TrPkt3D at{static_cast<float>(p.x + t * (double(q.x) - p.x)),
                         static_cast<float>(p.y + t * (double(q.y) - p.y)),
                         static_cast<float>(p.z + t * (double(q.z) - p.z))};
        if (motionHeightInterpolated(at) > at.z + tolerance) return false;
    }
    return true;
}

void keepSpiralsDescending(const SpiralClimbs& climbs) {
    auto linkStays = [&](const TrPkt3D& from, const TrPkt3D& to) {
        return std::hypot(double(to.x) - from.x, double(to.y) - from.y) <= climbs.reach &&
               to.z - from.z <= climbs.largestClimb && linkClearOfMotionMap(from, to);
    };
    FigureList out;
    out.reserve(figureList.size());
    for (auto& f : figureList) {
        if (f->spirala != 1 || f->poz.size() < 2) {
            out.push_back(std::move(f));
            continue;
        }
        std::vector<TrPkt3D>& poz = f->poz;
        // Where each later piece begins, found from the end.
        std::vector<size_t> starts;
        float floor = poz.back().z;
        for (size_t k = poz.size() - 1; k-- > 0;) {
            float& z = poz[k].z;
            if (z >= floor) {
                floor = z;
                continue;
            }
            const size_t pieceEnd = starts.empty() ? poz.size() : starts.back();
            if (floor - z <= climbs.largestRaise || k == 0 || pieceEnd - (k + 1) < 2) {
                z = floor;
                continue;
            }
            if (linkStays(poz[k], poz[k + 1])) {
                floor = z;
                continue;
            }
            starts.push_back(k + 1);
            floor = z;
        }
        if (starts.empty()) {
            out.push_back(std::move(f));
            continue;
        }
        // The pieces in order, each with the spiral's marks.
        std::reverse(starts.begin(), starts.end());
        starts.insert(starts.begin(), 0);
        starts.push_back(poz.size());
        const std::vector<TrPkt3D> all = std::move(poz);
        poz.clear();
        for (size_t s = 0; s + 1 < starts.size(); ++s) {
            auto piece = std::make_unique<tFigura>(*f);
            piece->poz.assign(all.begin() + std::ptrdiff_t(starts[s]),
                              all.begin() + std::ptrdiff_t(starts[s + 1]));
            piece->PoliczSrodek();
            out.push_back(std::move(piece));
        }
    }
    figureList = std::move(out);
}

void spiralaiLaczenie(int figStart, const TOperacjaDane& oper) {
    if (!oper.polaczoneKonce) return;
    lowLimit = oper.granicaZdolna;
    highLimit = oper.granicaZgorna;
    makeSpirals(figStart, 4 * oper.warstwaSzer);
    if (!oper.ObliczeniaPrecyzyjne) joinLayers(oper.warstwaSzer);
    if (!settings.printer3D) sortFigures(figureList, FigureOrder::byStartHeight);
    joinAtBorders(figStart);
}

} // namespace korvane
