#include "generation/Kontury.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <vector>

namespace korvane {

namespace {

struct Cell {
    int x = 0, y = 0;
};

// The order the tracer looks around a cell in.
constexpr Cell neighbours[8] = {{0, 1},  {1, 1},   {1, 0},  {1, -1},
                                {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};

struct Box {
    int x0, y0, x1, y1;
};

double closingDistance() {
    return 3 * pixelSize;
}

double planDistance(const TrPkt3D& a, const TrPkt3D& b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

double polylineLength(const std::vector<TrPkt3D>& p) {
    double length = 0;
    for (size_t k = 1; k < p.size(); ++k) length += distance3(p[k - 1], p[k]);
    return length;
}

// One trace: the status layer it marks and the list it appends to. The
// members shadow the process-wide layer and list so that threads tracing at
// once can each bring their own.
struct Tracer {
    tpix2dRec& cellStatus;
    FigureList& figureList;

    bool unvisitedCrossing(int x, int y) {
        if (x < 0 || y < 0 || x > rasterSizeX || y > rasterSizeY) return false;
        const std::int32_t stat = cellStatus[x][y].stat;
        return (stat & cellCrossing) && !(stat & cellVisited);
    }

    Cell cellOf(const TrPkt3D& p) {
        return {std::clamp(static_cast<int>(roundHalfEven(p.x / pixelSize)), 0, rasterSizeX),
                std::clamp(static_cast<int>(roundHalfEven(p.y / pixelSize)), 0, rasterSizeY)};
    }

    void clearStatus(const Box& box) {
        for (int x = box.x0; x <= box.x1; ++x)
            for (int y = box.y0; y <= box.y1; ++y) cellStatus[x][y] = {};
    }

    void clearTraceBits(const Box& box) {
        for (int x = box.x0; x <= box.x1; ++x)
            for (int y = box.y0; y <= box.y1; ++y) cellStatus[x][y].stat &= ~cellTraceBits;
    }

    // Marks the crossing of level z between cells a and b (adjacent) in the higher
    // of the two, with the point where the straight run between their centres
    // passes z; widens `marked` to hold it.
    void markCrossing(const tpix2d& layer, Cell a, Cell b, double z, Box& marked) {
        const double h1 = layer[a.x][a.y], h2 = layer[b.x][b.y];
        if ((h1 <= z) == (h2 <= z)) return;
        double t = (z - h1) / (h2 - h1);
        if (t >= 1) t = 0.9999; // at b itself the crossing would belong to b's other side
        // A printer's raster is dense: its crossings stand on the first cell.
        if (settings.printer3D) t = 0;
        const Cell high = h1 > z ? a : b;
        tpix2Drecord& cell = cellStatus[high.x][high.y];
        cell.stat |= cellCrossing;
        cell.p = {static_cast<float>((a.x + t * (b.x - a.x)) * pixelSize),
                  static_cast<float>((a.y + t * (b.y - a.y)) * pixelSize), static_cast<float>(z)};
        marked = {std::min(marked.x0, high.x), std::min(marked.y0, high.y),
                  std::max(marked.x1, high.x), std::max(marked.y1, high.y)};
    }

    // Follows unvisited crossing cells from `start`, always to the first such
    // neighbour in neighbour order, and returns their points.
    std::vector<TrPkt3D> followChain(Cell start) {
        std::vector<TrPkt3D> chain;
        Cell c = start;
        for (bool moved = true; moved;) {
            cellStatus[c.x][c.y].stat |= cellVisited;
            chain.push_back(cellStatus[c.x][c.y].p);
            moved = false;
            for (const Cell& d : neighbours)
                if (unvisitedCrossing(c.x + d.x, c.y + d.y)) {
                    c = {c.x + d.x, c.y + d.y};
                    moved = true;
                    break;
                }
        }
        return chain;
    }

    struct Walk {
        std::vector<TrPkt3D> points; // from the start point on
        bool arrived = false;
    };

    // A walk over the unvisited crossing cells from `start`, each step to the
    // neighbour whose point lies nearest `target` (the first in neighbour order on
    // ties), until `arrived(cell, point)` holds, no move is left or `maxSteps`
    // steps are made. The cells walked are free again afterwards.
    template <class Arrived>
    Walk walkTowards(const TrPkt3D& start, const TrPkt3D& target, int maxSteps, Arrived arrived) {
        Walk walk;
        walk.points.push_back(start);
        std::vector<Cell> taken;
        auto take = [&](Cell c) {
            cellStatus[c.x][c.y].stat |= cellVisited;
            taken.push_back(c);
        };
        Cell c = cellOf(start);
        take(c);
        for (int step = 0; !(walk.arrived = arrived(c, walk.points.back())) && step < maxSteps;
             ++step) {
            bool found = false;
            Cell best;
            double bestDistance = 0;
            for (const Cell& d : neighbours) {
                const Cell n{c.x + d.x, c.y + d.y};
                if (!unvisitedCrossing(n.x, n.y)) continue;
                const double dist = distance3(cellStatus[n.x][n.y].p, target);
                if (!found || dist < bestDistance) found = true, best = n, bestDistance = dist;
            }
            if (!found) break;
            c = best;
            take(c);
            walk.points.push_back(cellStatus[c.x][c.y].p);
        }
        for (const Cell& t : taken) cellStatus[t.x][t.y].stat &= ~cellVisited;
        return walk;
    }

    bool hasCrossingNeighbour(Cell c) {
        return std::any_of(std::begin(neighbours), std::end(neighbours),
                           [&](const Cell& d) { return unvisitedCrossing(c.x + d.x, c.y + d.y); });
    }

    // The bridge from P to Q over crossing cells; no points when there is none.
    std::vector<TrPkt3D> bridge(const TrPkt3D& p, const TrPkt3D& q) {
        const Cell qc = cellOf(q);
        if (!hasCrossingNeighbour(cellOf(p)) || !hasCrossingNeighbour(qc)) return {};
        Walk walk = walkTowards(p, q, INT_MAX, [&](Cell c, const TrPkt3D&) {
            return std::abs(c.x - qc.x) <= 1 && std::abs(c.y - qc.y) <= 1;
        });
        return walk.arrived ? std::move(walk.points) : std::vector<TrPkt3D>{};
    }

    void finish(tFigura& f, double z) {
        f.fig_ppz = z;
        f.PoliczSrodek();
        f.PoliczDlugosc();
    }

    // Joins the open chain to the first open figure of this trace (from `first`
    // on) one of whose ends lies within the closing distance of one of the chain's.
    bool mergeIntoOpen(std::vector<TrPkt3D>& chain, size_t first, double z) {
        for (size_t k = first; k < figureList.size(); ++k) {
            tFigura& f = *figureList[k];
            if (f.zamknieta) continue;
            std::vector<TrPkt3D>& p = f.poz;
            const double d[4] = {
                planDistance(p.front(), chain.front()), planDistance(p.front(), chain.back()),
                planDistance(p.back(), chain.front()), planDistance(p.back(), chain.back())};
            const auto pairing = std::min_element(std::begin(d), std::end(d)) - std::begin(d);
            if (!(d[pairing] < closingDistance())) continue;
            if (pairing == 0 || pairing == 3) std::reverse(chain.begin(), chain.end());
            p.insert(pairing < 2 ? p.begin() : p.end(), chain.begin(), chain.end());
            if (distance3(p.front(), p.back()) <= closingDistance()) p.push_back(p.front());
            f.zamknieta = within(p.front(), p.back(), pixelSize / 4);
            finish(f, z);
            return true;
        }
        return false;
    }

    // Joins open figures of this trace through bridges over the crossing cells when
    // the bridge is shorter than both figures it joins.
    void bridgeOpenFigures(size_t first) {
        for (size_t a = first; a < figureList.size(); ++a) {
            for (size_t b = a + 1; b < figureList.size() && !figureList[a]->zamknieta;) {
                tFigura &A = *figureList[a], &B = *figureList[b];
                if (B.zamknieta || B.fig_ppz != A.fig_ppz) {
                    ++b;
                    continue;
                }
                const TrPkt3D* ends[4][2] = {{&A.poz.back(), &B.poz.front()},
                                             {&A.poz.back(), &B.poz.back()},
                                             {&A.poz.front(), &B.poz.front()},
                                             {&A.poz.front(), &B.poz.back()}};
                int pairing = -1;
                std::vector<TrPkt3D> best;
                double bestLength = 0;
                for (int k = 0; k < 4; ++k) {
                    std::vector<TrPkt3D> walk = bridge(*ends[k][0], *ends[k][1]);
                    if (walk.empty()) continue;
                    const double length = polylineLength(walk);
                    if (pairing < 0 || length < bestLength)
                        pairing = k, best = std::move(walk), bestLength = length;
                }
                if (pairing < 0 || bestLength >= A.dlugosc || bestLength >= B.dlugosc) {
                    ++b;
                    continue;
                }
                if (pairing >= 2) std::reverse(A.poz.begin(), A.poz.end());
                if (pairing == 1 || pairing == 3) std::reverse(B.poz.begin(), B.poz.end());
                A.poz.insert(A.poz.end(), best.begin() + 1, best.end());
                A.poz.insert(A.poz.end(), B.poz.begin(), B.poz.end());
                finish(A, A.fig_ppz);
                figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(b));
            }
        }
    }

    // Closes long open figures whose end finds its way back to their start over
    // the crossing cells within a quarter of their point count.
    void continueOpenFigures(size_t first) {
        for (size_t k = first; k < figureList.size(); ++k) {
            tFigura& f = *figureList[k];
            if (f.zamknieta || f.count() <= 5) continue;
            const TrPkt3D start = f.poz.front();
            const Walk walk =
                walkTowards(f.poz.back(), start, f.count() / 4, [&](Cell, const TrPkt3D& p) {
                    return distance3(p, start) <= closingDistance();
                });
            if (!walk.arrived) continue;
            f.poz.insert(f.poz.end(), walk.points.begin() + 1, walk.points.end());
            f.poz.push_back(start);
            f.zamknieta = true;
            finish(f, f.fig_ppz);
        }
    }

    void trace(const tpix2d& layer, int x0, int y0, int x1, int y1, double z) {
        if (layer.columns() <= rasterSizeX || layer.rows() <= rasterSizeY ||
            cellStatus.columns() <= rasterSizeX || cellStatus.rows() <= rasterSizeY)
            return;
        Box box{std::max(0, x0 - 1), std::max(0, y0 - 1), std::min(rasterSizeX, x1 + 1),
                std::min(rasterSizeY, y1 + 1)};
        // The trace reads the box and the ring of cells around it (a chain or a
        // walk looks at the neighbours of its cells); only those start clean, so
        // that a small region costs no more than its own cells.
        clearStatus({std::max(0, box.x0 - 1), std::max(0, box.y0 - 1),
                     std::min(rasterSizeX, box.x1 + 1), std::min(rasterSizeY, box.y1 + 1)});
        Box marked{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int x = box.x0; x < box.x1; ++x)
            for (int y = box.y0; y <= box.y1; ++y)
                markCrossing(layer, {x, y}, {x + 1, y}, z, marked);
        for (int x = box.x0; x <= box.x1; ++x)
            for (int y = box.y0; y < box.y1; ++y)
                markCrossing(layer, {x, y}, {x, y + 1}, z, marked);
        box = {std::clamp(std::min(box.x0, marked.x0), 0, rasterSizeX),
               std::clamp(std::min(box.y0, marked.y0), 0, rasterSizeY),
               std::clamp(std::max(box.x1, marked.x1), 0, rasterSizeX),
               std::clamp(std::max(box.y1, marked.y1), 0, rasterSizeY)};

        // Chains start at the first free crossing cell column by column, each column
        // from the top down; for a printer at the first free crossing cell above a
        // free cell without a crossing.
        const size_t first = figureList.size();
        for (int ix = box.x0; ix <= box.x1; ++ix)
            for (int iy = box.y1; iy >= box.y0; --iy) {
                Cell start{ix, iy};
                if (settings.printer3D) {
                    if (cellStatus[ix][iy].stat & (cellCrossing | cellVisited)) continue;
                    start.y = iy + 1;
                }
                if (!unvisitedCrossing(start.x, start.y)) continue;
                std::vector<TrPkt3D> chain = followChain(start);
                const bool closed = chain.size() >= 6 &&
                                    distance3(chain.back(), chain.front()) <= closingDistance();
                if (closed) chain.push_back(chain.front());
                if (!closed && mergeIntoOpen(chain, first, z)) continue;
                auto f = std::make_unique<tFigura>();
                f->poz = std::move(chain);
                f->zamknieta = closed;
                f->warstwa = true;
                f->obrys = 1;
                finish(*f, z);
                figureList.push_back(std::move(f));
            }

        // The walks below may pass over cells the chains took.
        clearTraceBits(box);
        bridgeOpenFigures(first);
        continueOpenFigures(first);
        for (size_t k = figureList.size(); k-- > first;)
            if (figureList[k]->count() <= 2)
                figureList.erase(figureList.begin() + std::ptrdiff_t(k));
    }
};

} // namespace

void traceContours(const tpix2d& layer, int x0, int y0, int x1, int y1, double z, tpix2dRec& status,
                   FigureList& figures) {
    Tracer{status, figures}.trace(layer, x0, y0, x1, y1, z);
}

void traceContours(const tpix2d& layer, int x0, int y0, int x1, int y1, double z) {
    traceContours(layer, x0, y0, x1, y1, z, cellStatus, figureList);
}

} // namespace korvane
