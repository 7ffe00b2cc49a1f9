#include "generation/Plaszczyzny.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/Kontury.h"
#include "generation/MotionMap.h"
#include "generation/Redukcja.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace korvane {

namespace {

int round(double v) {
    return static_cast<int>(roundHalfEven(v));
}

bool inRaster(int x, int y) {
    return x >= 0 && y >= 0 && x <= rasterSizeX && y <= rasterSizeY;
}

// The tool standing with its tip at height z over cell (cx, cy) reaches into
// offsetHeights somewhere.
bool cuts(const TFrez& tool, int cx, int cy, double z) {
    for (const TPkt3D& q : tool.Powierzchnia) {
        const int tx = cx + q.x, ty = cy + q.y;
        if (inRaster(tx, ty) && offsetHeights[tx][ty] > z + q.z) return true;
    }
    return false;
}

// The height of the plane found at scan level z: the highest offset height
// among the cells that levelArea counted there. Facing at it, never at the
// scan level, keeps the pass out of a plane lying between two levels.
double planeHeight(double z) {
    const double half = pixelSize / 2;
    double top = z - half;
    for (int ix = 0; ix <= rasterSizeX; ++ix) {
        const float* column = offsetHeights[ix].data();
        for (int iy = 0; iy <= rasterSizeY; ++iy)
            if (z - half < column[iy] && column[iy] < z + half)
                top = std::max<double>(top, column[iy]);
    }
    return top;
}

int nodeCell(int node, double gridStep) {
    return round(node * gridStep / pixelSize);
}

// A node's point; a node beyond the raster's far edge stands on that edge.
TrPkt3D nodePoint(int i, int j, double gridStep, double z) {
    return {static_cast<float>(std::min(i * gridStep, rasterSizeX * pixelSize)),
            static_cast<float>(std::min(j * gridStep, rasterSizeY * pixelSize)),
            static_cast<float>(z)};
}

// The straight move between two nodes, sampled about once per cell, never cuts.
bool moveFree(const TFrez& tool, const NodeGrid& grid, int i0, int j0, int i1, int j1, double z) {
    const double ax = i0 * grid.gridStep, ay = j0 * grid.gridStep;
    const double bx = i1 * grid.gridStep, by = j1 * grid.gridStep;
    const int n = round(std::hypot(bx - ax, by - ay) / pixelSize);
    for (int k = 0; k <= n; ++k) {
        const double t = n == 0 ? 0.0 : double(k) / n;
        if (cuts(tool, round((ax + t * (bx - ax)) / pixelSize),
                 round((ay + t * (by - ay)) / pixelSize), z))
            return false;
    }
    return true;
}

TFrez ringTool(double diameter) {
    TFrezDane ring;
    ring.typ = toolRing;
    ring.d1 = diameter;
    return TFrez(ring);
}

// Calls visit(cx, cy) at the cell of every sample along the segments of f,
// about one per cell, both ends of every segment included.
template <class Visit> void alongFigure(const tFigura& f, Visit visit) {
    for (size_t k = 1; k < f.poz.size(); ++k) {
        const TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
        const int n = round(distance3(a, b) / pixelSize + 1);
        for (int g = 0; g <= n; ++g) {
            const double t = double(g) / n;
            visit(round((a.x + t * (double(b.x) - a.x)) / pixelSize),
                  round((a.y + t * (double(b.y) - a.y)) / pixelSize));
        }
    }
}

// Clears flatMask along a cutting figure: the cell of each sample and the
// cells under the ring around it. A figure that clears nothing under the ring
// stops cutting, so later passes skip it.
void stamp(tFigura& f, const TFrez& ring) {
    if (f.poz.empty() || !f.wybierajaca) return;
    long long cleared = 0;
    alongFigure(f, [&](int cx, int cy) {
        if (inRaster(cx, cy)) flatMask[cx][cy] = 0;
        for (const TPkt3D& q : ring.Powierzchnia) {
            const int tx = cx + q.x, ty = cy + q.y;
            if (!inRaster(tx, ty) || flatMask[tx][ty] == 0) continue;
            flatMask[tx][ty] = 0;
            ++cleared;
        }
    });
    if (cleared == 0) f.wybierajaca = false;
}

constexpr std::int32_t flatCounted = 128;

// The cells under the ring along f still to clear, each counted once.
long long stillToClear(const tFigura& f, const TFrez& ring) {
    std::vector<std::pair<int, int>> counted;
    alongFigure(f, [&](int cx, int cy) {
        for (const TPkt3D& q : ring.Powierzchnia) {
            const int tx = cx + q.x, ty = cy + q.y;
            if (!inRaster(tx, ty) || flatMask[tx][ty] == 0) continue;
            if (flatStatus[tx][ty].stat & flatCounted) continue;
            flatStatus[tx][ty].stat |= flatCounted;
            counted.emplace_back(tx, ty);
        }
    });
    for (const auto& [x, y] : counted) flatStatus[x][y].stat &= ~flatCounted;
    return static_cast<long long>(counted.size());
}

} // namespace

NodeGrid planeNodes(const TFrez& facingTool, double gridStep, double z) {
    NodeGrid grid;
    grid.gridStep = gridStep;
    grid.columns = round(modelSize.x / gridStep + 0.5) + 1;
    grid.rows = round(modelSize.y / gridStep + 0.5) + 1;
    grid.flags.assign(size_t(grid.columns) * size_t(grid.rows), 0);
    const double p = pixelSize;
    for (int ix = 0; ix <= rasterSizeX; ++ix)
        for (int iy = 0; iy <= rasterSizeY; ++iy) {
            const double h = offsetHeights[ix][iy];
            if (h < z - p || h > z) continue;
            grid.at(std::clamp(round(ix * p / gridStep), 0, grid.columns - 1),
                    std::clamp(round(iy * p / gridStep), 0, grid.rows - 1)) |= nodeOnPlane;
        }
    for (int i = 0; i < grid.columns; ++i)
        for (int j = 0; j < grid.rows; ++j)
            if ((grid.at(i, j) & nodeOnPlane) &&
                cuts(facingTool, nodeCell(i, gridStep), nodeCell(j, gridStep), z))
                grid.at(i, j) |= nodeBlocked;
    return grid;
}

void facePlane(NodeGrid& grid, const TFrez& facingTool, double z) {
    // Up the column, diagonally on, across, diagonally back; dy turns with the sweep.
    static constexpr int moves[4][2] = {{0, 1}, {1, 1}, {1, 0}, {1, -1}};
    auto open = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < grid.columns && j < grid.rows &&
               (grid.at(i, j) & (nodeOnPlane | nodeBlocked)) == nodeOnPlane;
    };
    // Walks only take nodes, so the scan goes on where the last start was.
    for (int si = 0; si < grid.columns; ++si)
        for (int sj = 0; sj < grid.rows; ++sj) {
            if (!open(si, sj)) continue;
            auto f = std::make_unique<tFigura>();
            auto add = [&](int i, int j) {
                const TrPkt3D p = nodePoint(i, j, grid.gridStep, z);
                if (f->poz.empty() || !samePoint(f->poz.back(), p)) f->poz.push_back(p);
            };
            int i = si, j = sj, sign = 1, previous = -1;
            grid.at(i, j) &= ~nodeOnPlane;
            add(i, j);
            for (;;) {
                int taken = -1, ci = 0, cj = 0;
                for (int k = 0; k < 4 && taken < 0; ++k) {
                    ci = i + moves[k][0];
                    cj = j + sign * moves[k][1];
                    if (open(ci, cj) && moveFree(facingTool, grid, i, j, ci, cj, z)) taken = k;
                }
                if (taken < 0) break;
                grid.at(ci, cj) &= ~nodeOnPlane;
                if (taken != previous) add(i, j); // a corner
                i = ci;
                j = cj;
                previous = taken;
                if (taken > 0) sign = -sign;
            }
            add(i, j); // the end of the last run, straight or turned into
            f->fig_ppz = z;
            f->plaszczyzna = true;
            f->warstwa = false;
            if (f->count() < 2) continue;
            f->PoliczSrodek();
            addFigure(std::move(f));
        }
}

void generujPlaszczyzny(const TOperacjaDane& oper, const TFrez& frez) {
    const double w = oper.warstwaSzer, p = pixelSize;
    if (!(w > 0) || !(p > 0)) return; // no grid to walk
    TFrezDane enlarged = frez.Parametry;
    enlarged.d1 += w; // the tool reaches half a step further on every side
    const TFrez facingTool(enlarged);
    double z = round(modelSize.z / p + 1) * p + oper.zostawDoNastOper;
    if (oper.granicaZgorna > 0) z = std::min(oper.granicaZgorna, z);
    const double minimumArea = surfacingFraction * modelSize.x * modelSize.y;
    while (!generationTerminate) {
        while (z >= -p / 3 && levelArea(z) <= minimumArea) z -= p;
        if (z < -p / 3) break;
        const double level = planeHeight(z);
        if (level < oper.granicaZdolna) break;
        NodeGrid grid = planeNodes(facingTool, w, level);
        facePlane(grid, facingTool, level);
        // Each figure once: a second reduction could stray further than the tolerance.
        for (int i = 0; i < static_cast<int>(figureList.size()); ++i) {
            if (figureList[size_t(i)]->zredukowana) continue;
            reduceFigure(i, 0.2 * p);
            figureList[size_t(i)]->zredukowana = true;
        }
        // The pass around the plane's border.
        traceContours(motionHeights, 0, 0, rasterSizeX, rasterSizeY, level + 0.00033333);
        z -= 2 * p;
    }
    redukuj(0);
}

RingStarts wypelnijObszaryPlaskie(int figStart, double zWarstwy, int iloscWarstw,
                                  double warstwaSzer) {
    const double w = warstwaSzer, p = pixelSize;
    RingStarts starts{static_cast<int>(figureList.size()), static_cast<int>(figureList.size())};
    if (!(p > 0) || flatMask.columns() <= rasterSizeX || flatMask.rows() <= rasterSizeY)
        return starts;
    if (!settings.printer3D)
        for (int ix = 0; ix <= rasterSizeX; ++ix)
            std::fill_n(flatMask[ix].data(), rasterSizeY + 1, 1.0f);

    const TFrez ringA = ringTool(2 * p > 2 * w - 5 * p ? 2.2 * p : 2 * w - 5 * p);
    const TFrez ringB = ringTool(4 * w - 3 * p);
    const TFrez ringC = ringTool(w);
    const TFrez ringD = ringTool(0.5 * w - 2 * p);
    const double pointLimit = w * 2 * std::numbers::pi / p * 4;

    // The band grows by a step each pass and is stamped along the outlines
    // only, so that ring r runs (r + 1/2) steps inside them. Stamped along the
    // rings of earlier passes as well it would reach the rings' own distance
    // further each time, and the gaps between the rings would grow by a step
    // per ring, leaving ridges a ball cannot reach.
    const int outlines = static_cast<int>(figureList.size());
    for (int k = figStart; k < outlines; ++k) figureList[size_t(k)]->wybierajaca = true;
    for (long long r = 0;; ++r) {
        const bool lastRing = r + 1 == iloscWarstw;
        const TFrez band = ringTool(lastRing ? w * 2 * double(r) + 0.5 * w : w + w * 2 * double(r));
        for (int k = figStart; k < outlines; ++k) stamp(*figureList[size_t(k)], band);

        // Lone cells go, cells among cut ones stay to cut.
        for (int ix = 1; ix < rasterSizeX; ++ix)
            for (int iy = 1; iy < rasterSizeY; ++iy) {
                int set = 0;
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy)
                        if ((dx || dy) && flatMask[ix + dx][iy + dy] != 0) ++set;
                if (set > 4)
                    flatMask[ix][iy] = 1.0f;
                else if (set <= 2)
                    flatMask[ix][iy] = 0;
            }

        const size_t first = figureList.size();
        traceContours(flatMask, 1, 1, rasterSizeX - 1, rasterSizeY - 1, zWarstwy);
        const TFrez& ringAfter = r + 2 == iloscWarstw ? ringD : r == 0 ? ringC : ringA;
        for (size_t k = first; k < figureList.size();) {
            tFigura& f = *figureList[k];
            if (settings.printer3D && f.count() < 5) {
                stamp(f, ringA);
                figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(k));
                continue;
            }
            if (!settings.printer3D)
                for (TrPkt3D& q : f.poz) q.z = static_cast<float>(motionHeightInterpolated(q));
            f.PoliczSrodek();
            f.PoliczDlugosc();
            f.wybierajaca = true;
            f.pochodzi = -1;
            f.doUsuniecia = false;
            f.obrys = 1;
            stamp(f, ringAfter);
            ++k;
        }
        // A long ring along a strip narrower than a tenth of the step clears the
        // strip at once.
        for (size_t k = first; k < figureList.size(); ++k) {
            tFigura& f = *figureList[k];
            if (!(f.dlugosc > 0)) continue;
            const double width = double(stillToClear(f, ringB)) / (f.dlugosc / p) * p;
            if (width < 0.1 * w && f.count() > pointLimit) {
                f.wybierajaca = true;
                stamp(f, ringB);
            }
        }
        const bool madeRings = figureList.size() > first;
        if (r == 0) starts.firstRingStart = static_cast<int>(figureList.size());
        if (r + 1 == static_cast<long long>(iloscWarstw) - 1)
            starts.lastRingStart = static_cast<int>(figureList.size());
        // Once the band reaches across the whole raster no pass can cut more;
        // the cleaning could otherwise keep bringing rings back for ever.
        const bool bandBeyondRaster = double(r) * w > std::hypot(modelSize.x, modelSize.y) + w;
        if (generationTerminate || !madeRings || r + 1 >= iloscWarstw || bandBeyondRaster) break;
    }
    return starts;
}

} // namespace korvane
