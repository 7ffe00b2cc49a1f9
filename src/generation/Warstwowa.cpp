#include "generation/Warstwowa.h"

#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/Kontury.h"
#include "generation/Kreski.h"
#include "generation/Redukcja.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

double planDistance(const TrPkt3D& a, const TrPkt3D& b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

// Makes point `start` the first of the closed figure `f` (closed again after).
void rotateClosed(tFigura& f, size_t start) {
    f.poz.pop_back();
    std::rotate(f.poz.begin(), f.poz.begin() + static_cast<std::ptrdiff_t>(start), f.poz.end());
    f.poz.push_back(f.poz.front());
}

struct Target {
    size_t figure = 0;
    size_t point = 0;
    double distance = -1;
};

// The point nearest the end of figure i among the closed figures that start at
// most one layer (and a cell) below that end and lie no higher than its level;
// for a printer also no more than a cell from the end's height.
Target nearestBelow(size_t i, double layerDepth) {
    const tFigura& f = *figureList[i];
    const TrPkt3D& end = f.poz.back();
    Target best;
    for (size_t j = 0; j < figureList.size(); ++j) {
        const tFigura& t = *figureList[j];
        if (j == i || !t.zamknieta || t.doUsuniecia || t.count() < 2) continue;
        if (end.z - t.poz.front().z > layerDepth + pixelSize || t.fig_ppz > f.fig_ppz) continue;
        if (settings.printer3D && std::fabs(end.z - t.poz.front().z) > pixelSize) continue;
        for (size_t k = 0; k + 1 < t.poz.size(); ++k) { // the closing point repeats the first
            const double d = distance3(end, t.poz[k]);
            if (best.distance < 0 || d < best.distance) best = {j, k, d};
        }
    }
    return best;
}

// Joins to figure i the nearest closed figure below its end over a connector;
// false when there is none near enough. i follows the figure when the list
// shrinks before it.
bool joinNext(size_t& i, double layerDepth) {
    const Target target = nearestBelow(i, layerDepth);
    if (target.distance < 0 || target.distance >= 5 * layerDepth) return false;
    tFigura& f = *figureList[i];
    tFigura& t = *figureList[target.figure];
    if (planDistance(f.srodek, t.srodek) >= 5 * layerDepth) return false;
    rotateClosed(t, target.point);

    const size_t connectorAt = figureList.size();
    followSurface(f.poz.back(), t.poz.front());
    if (figureList.size() == connectorAt) return false;
    for (TrPkt3D p : figureList[connectorAt]->poz) {
        p.z = static_cast<float>(p.z + layerDepth);
        f.poz.push_back(p);
    }
    f.poz.insert(f.poz.end(), t.poz.begin(), t.poz.end());
    f.fig_ppz = t.fig_ppz;
    f.zamknieta = false;
    f.laczona = true;
    f.PoliczSrodek();
    figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(connectorAt),
                     figureList.end());
    figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(target.figure));
    if (target.figure < i) --i;
    return true;
}

} // namespace

void orientCounterClockwise(tFigura& f) {
    if (!f.zamknieta || f.count() < 4) return;
    // The closing point repeats the first: the cycle is the points before it.
    const size_t n = f.poz.size() - 1;
    size_t low = 0;
    for (size_t k = 1; k < n; ++k)
        if (f.poz[k].y < f.poz[low].y) low = k;
    const TrPkt3D& before = f.poz[(low + n - 1) % n];
    const TrPkt3D& after = f.poz[(low + 1) % n];
    if (before.x > after.x) std::reverse(f.poz.begin(), f.poz.end());
}

void joinLayers(double layerDepth) {
    const double savedLow = lowLimit, savedHigh = highLimit;
    lowLimit = 0;
    highLimit = 2147483647.0;
    for (const auto& f : figureList) f->PoliczSrodek();
    for (size_t i = 0; i < figureList.size();) {
        if (generationTerminate) break;
        if (!joinNext(i, layerDepth)) ++i;
    }
    lowLimit = savedLow;
    highLimit = savedHigh;
}

void generujWarstwowo(const TOperacjaDane& oper) {
    const double depth = oper.warstwaGrubosc;
    if (!(depth > 0)) return; // a layer depth of zero would never reach the bottom
    const double top = std::min(oper.granicaZgorna, modelSize.z + oper.zostawDoNastOper);
    // The levels stop at the model base even when the lower limit lies below it.
    for (double z = top - depth + 0.00033333; z >= 0 && z >= oper.granicaZdolna; z -= depth) {
        if (generationTerminate) break;
        traceContours(motionHeights, 0, 0, rasterSizeX, rasterSizeY, z);
    }
    for (int i = static_cast<int>(figureList.size()) - 1; i >= 0; --i)
        if (figureList[size_t(i)]->count() <= 1) deleteFigure(i);
    for (int i = 0; i < static_cast<int>(figureList.size()); ++i) {
        smoothFigure(*figureList[size_t(i)], {{4, false}, {4, true}});
        reduceFigure(i, 0.1 * pixelSize);
    }
    usunFiguryPunkty();
    for (const auto& f : figureList) orientCounterClockwise(*f);
    if (oper.polaczoneKonce && !oper.ObliczeniaPrecyzyjne) {
        lowLimit = oper.granicaZdolna;
        highLimit = oper.granicaZgorna;
        joinLayers(depth);
        for (int i = 0; i < static_cast<int>(figureList.size()); ++i)
            reduceFigure(i, 0.2 * pixelSize);
    }
}

} // namespace korvane
