#include "generation/Mieszana.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/DodatkoweWatek.h"
#include "generation/FigurePoints.h"
#include "generation/GenState.h"
#include "generation/Kontury.h"
#include "generation/Kreski.h"
#include "generation/MotionMap.h"
#include "generation/NearestChain.h"
#include "generation/Plaszczyzny.h"
#include "generation/Redukcja.h"
#include "generation/RegionMask.h"
#include "generation/SpiralaiLaczenie.h"
#include "generation/Warstwowa.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

void eraseFrom(size_t first) {
    figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(first), figureList.end());
}

// The highest motion height in the cells around the points of f (their own
// cells left out); 0 for a figure without points.
float highestAround(const tFigura& f) {
    float highest = 0;
    for (const TrPkt3D& p : f.poz) {
        const int cx = static_cast<int>(roundHalfEven(p.x / pixelSize));
        const int cy = static_cast<int>(roundHalfEven(p.y / pixelSize));
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const int x = cx + dx, y = cy + dy;
                if ((dx || dy) && x >= 0 && y >= 0 && x <= rasterSizeX && y <= rasterSizeY)
                    highest = std::max(highest, motionHeights[x][y]);
            }
    }
    return highest;
}

// The contours of one run of the strategy, traced region by region.
class Regions {
  public:
    explicit Regions(const TOperacjaDane& oper) : oper_(oper) {}

    // Traces the contours inside `parent` (or over the whole raster at z when
    // parent < 0) one step further in direction d, and on into each of them.
    void recurse(int parent, int d, double z) {
        if (generationTerminate) return;
        highest = std::max(highest, z);
        lowest = std::min(lowest, z);
        CellBox box{0, 0, rasterSizeX, rasterSizeY};
        double next = z;
        bool convexParent = true;
        if (parent >= 0) {
            const tFigura& p = *figureList[size_t(parent)];
            convexParent = p.wypukla;
            if (!p.zamknieta || p.wypukla != (d > 0) || p.fig_ppz >= oper_.granicaZgorna) return;
            box = prepareRegion(p, d, p.fig_ppz, flatMask, cellStatus);
            if (box.empty()) return;
            next = std::min(z + d * contourStep(p, oper_.warstwaSzer), oper_.granicaZgorna);
        }
        const size_t first = figureList.size();
        traceContours(flatMask, box.x0, box.y0, box.x1, box.y1, next);
        if (parent >= 0) keepOnSurface(figureList, first, next);
        // Small contours stay only where the relief around them is no more
        // than a step higher.
        for (size_t k = figureList.size(); k-- > first;) {
            const tFigura& f = *figureList[k];
            if (f.count() <= 9 && highestAround(f) > next + oper_.warstwaSzer)
                figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(k));
        }
        for (size_t k = figureList.size(); k-- > first;) {
            tFigura& f = *figureList[k];
            classifyContour(f);
            if (!f.zamknieta) f.wypukla = convexParent;
            f.pochodzi = parent;
            if (f.wklinowana >= 2 || (d < 0 && f.wypukla))
                figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(k));
        }
        const size_t end = figureList.size();
        for (size_t k = first; k < end; ++k) recurse(static_cast<int>(k), d, next);
    }

    double highest = -infinity;
    double lowest = infinity;

  private:
    const TOperacjaDane& oper_;
};

// Cuts out of every added contour its stretches of more than 20 points in a
// row that run within 0.66 steps of a contour less than a step above or
// below; what is left stays as open pieces in its place.
void cutDenseStretches(double step) {
    const double near = 0.99 * 0.66 * step;
    for (const auto& f : figureList) f->PoliczSrodek();
    FigurePoints points(figureList, near);
    auto thin = [&](size_t i) {
        tFigura& f = *figureList[i];
        std::vector<bool> isClose(f.poz.size());
        for (size_t k = 0; k < f.poz.size(); ++k)
            isClose[k] = points.close(f.poz[k], f, step, near);
        std::vector<std::vector<TrPkt3D>> pieces(1);
        for (size_t k = 0; k < f.poz.size();) {
            size_t run = k;
            while (run < f.poz.size() && isClose[run]) ++run;
            if (run - k > 20) {
                pieces.emplace_back();
            } else {
                pieces.back().insert(pieces.back().end(), f.poz.begin() + std::ptrdiff_t(k),
                                     f.poz.begin() + std::ptrdiff_t(run));
            }
            if (run < f.poz.size()) pieces.back().push_back(f.poz[run]);
            k = run + 1;
        }
        std::erase_if(pieces, [](const auto& p) { return p.size() < 2; });
        if (pieces.size() == 1 && pieces[0].size() == f.poz.size()) return size_t(1);
        std::vector<std::unique_ptr<tFigura>> made;
        for (auto& piecePoints : pieces) {
            auto piece = std::make_unique<tFigura>();
            piece->poz = std::move(piecePoints);
            piece->fig_ppz = f.fig_ppz;
            piece->pochodzi = f.pochodzi;
            piece->wypukla = f.wypukla;
            piece->dodatkowa = true;
            piece->dzielona = true;
            piece->warstwa = true;
            piece->PoliczSrodek();
            made.push_back(std::move(piece));
        }
        points.remove(f);
        for (const auto& piece : made) points.add(*piece);
        figureList.erase(figureList.begin() + std::ptrdiff_t(i));
        const size_t count = made.size();
        figureList.insert(figureList.begin() + std::ptrdiff_t(i),
                          std::make_move_iterator(made.begin()),
                          std::make_move_iterator(made.end()));
        return count;
    };
    for (size_t i = 0; i < figureList.size() && !generationTerminate;)
        i +=
            figureList[i]->dodatkowa && !figureList[i]->dzielona ? std::max<size_t>(thin(i), 1) : 1;
    for (size_t i = figureList.size(); i-- > 0 && !generationTerminate;)
        if (figureList[i]->dodatkowa && !figureList[i]->dzielona) thin(i);
}

bool firstOrLinked(const tFigura& f) {
    return f.zamknieta || f.laczona;
}

// Closed and linked figures first, in their order; then the open ones, each
// the one starting nearest where the figure before it ends.
void finalOrder() {
    const size_t n = figureList.size();
    size_t front = 0;
    for (size_t i = 0; i < n; ++i) {
        if (firstOrLinked(*figureList[i])) {
            std::swap(figureList[i], figureList[front]);
            ++front;
        }
    }
    chainByNearestStart(figureList, front);
}

} // namespace

void thinDenseContours(double warstwaSzer) {
    // Every other added contour is thinned running the other way; its pieces
    // keep that direction, the contours left whole get their own back.
    for (size_t k = 1; k < figureList.size(); k += 2) {
        tFigura& f = *figureList[k];
        if (!f.dodatkowa) continue;
        std::reverse(f.poz.begin(), f.poz.end());
        f.odwrotna = true;
    }
    cutDenseStretches(warstwaSzer);
    for (const auto& f : figureList) {
        if (!f->odwrotna) continue;
        std::reverse(f->poz.begin(), f->poz.end());
        f->odwrotna = false;
    }
}

double contourSlope(const tFigura& f) {
    if (f.poz.empty()) return 0;
    static constexpr int directions[8][2] = {{0, 1},  {1, 1},   {1, 0},  {1, -1},
                                             {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};
    const double p = pixelSize;
    std::vector<double> angles;
    angles.reserve(f.poz.size());
    double sum = 0;
    for (const TrPkt3D& q : f.poz) {
        const double h = motionHeightInterpolated(q);
        double slope = 0;
        for (const auto& d : directions) {
            const TrPkt3D r{static_cast<float>(q.x + d[0] * p), static_cast<float>(q.y + d[1] * p),
                            q.z};
            const double run = d[0] && d[1] ? 1.41 * p : p;
            slope = std::max(slope, std::fabs(motionHeightInterpolated(r) - h) / run);
        }
        angles.push_back(std::atan(slope));
        sum += angles.back();
    }
    const double mean = sum / double(angles.size());
    double below = 0;
    int count = 0;
    for (double a : angles)
        if (0 < a && a < mean) below += a, ++count;
    return count ? below / count : mean;
}

double contourStep(const tFigura& f, double warstwaSzer) {
    return std::max(std::sin(contourSlope(f)) * warstwaSzer, 0.01 * pixelSize);
}

void generujMieszane(const TOperacjaDane& oper, int gapWorkers, const SubStepHandler& subStep) {
    auto announce = [&](const char* name) {
        if (subStep) subStep(name);
    };
    const double p = pixelSize, w = oper.warstwaSzer;
    if (!(p > 0) || !(w > 0)) return;
    lowLimit = oper.granicaZdolna;
    highLimit = oper.granicaZgorna;
    const double top = std::min(oper.granicaZgorna, modelSize.z + oper.zostawDoNastOper);
    double z = oper.granicaZdolna + 0.0003333;

    // The foot of the relief: the lowest level that crosses it. Levels below
    // every working height cross nothing and are passed over at once.
    announce("start? ");
    offsetHeights = motionHeights;
    const float lowestHeight =
        *std::min_element(offsetHeights.cells().begin(), offsetHeights.cells().end());
    while (z <= top && z < lowestHeight) z += p;
    const size_t start = figureList.size();
    while (z <= top && figureList.size() == start && !generationTerminate) {
        traceContours(offsetHeights, 0, 0, rasterSizeX, rasterSizeY, z);
        if (figureList.size() == start) z += p;
    }
    if (figureList.size() == start) return;

    announce("warstwy wypukle");
    eraseFrom(start);
    Regions regions(oper);
    flatMask = motionHeights;
    for (bool left = true; z <= top && left && !generationTerminate;) {
        flatMask = offsetHeights;
        regions.recurse(-1, 1, z);
        const size_t before = figureList.size();
        traceContours(offsetHeights, 0, 0, rasterSizeX, rasterSizeY, z);
        left = figureList.size() > before;
        eraseFrom(before);
        z = regions.highest + p;
    }

    // Down into every hollow whose rim the climb found.
    announce("warstwy wklesle");
    offsetHeights = motionHeights;
    flatMask = offsetHeights;
    for (size_t k = figureList.size(); k-- > start && !generationTerminate;) {
        const tFigura& f = *figureList[k];
        if (f.zamknieta && !f.wypukla) regions.recurse(static_cast<int>(k), -1, f.fig_ppz);
    }

    offsetHeights = motionHeights;
    fillGaps(gapJobs(static_cast<int>(figureList.size()), w), gapWorkers);
    for (const auto& f : figureList) orientCounterClockwise(*f);
    // The contours keep their sharp corners: rounded off, the tip of a contour
    // in an inner corner moves away from the walls at its own level, and on
    // steep walls leaves material several steps high in the corner.
    usrednij(0, true);

    announce("usuwanie gestych");
    thinDenseContours(w);
    for (const auto& f : figureList) {
        if (f->zamknieta) continue;
        for (TrPkt3D& q : f->poz) q.z = static_cast<float>(motionHeightInterpolated(q));
        f->usredniona = false;
    }
    for (const auto& f : figureList) orientCounterClockwise(*f);
    usrednij(0, true);

    announce("spirala");
    for (size_t k = 0; k < figureList.size(); ++k) figureList[k]->orgIndex = static_cast<int>(k);
    sortFigures(figureList, FigureOrder::byStartHeightThenSize);
    wypelnijObszaryPlaskie(0, 0.5, INT_MAX, w);
    usrednij(0, true);
    spiralaiLaczenie(0, oper);
    const float X = modelSize.x, Y = modelSize.y;
    followSurface({0, 0, 0}, {0, Y, 0});
    followSurface({0, Y, 0}, {X, Y, 0});
    followSurface({X, Y, 0}, {X, 0, 0});
    followSurface({X, 0, 0}, {0, 0, 0});
    redukuj(0);

    announce("sortowanie");
    sortFigures(figureList, FigureOrder::byStartHeight);
    for (const auto& f : figureList)
        if (!f->zamknieta && !f->dzielona && !f->poz.empty() && f->poz.back().z > f->poz.front().z)
            std::reverse(f->poz.begin(), f->poz.end());
    usunFiguryPunkty();
    sortFigures(figureList, FigureOrder::byStartHeight);
    finalOrder();
    announce("koniec");
}

} // namespace korvane
