#include "generation/StereoObrysy.h"

#include "foundation/State.h"
#include "generation/Kontury.h"
#include "generation/StereoWarstwa.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

double segmentDistance(double px, double py, const TrPkt3D& a, const TrPkt3D& b) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

int cellFloor(double v) {
    return static_cast<int>(std::floor(v / pixelSize));
}

int cellCeil(double v) {
    return static_cast<int>(std::ceil(v / pixelSize));
}

// Inside the outlines: the distance from the nearest outline, capped at
// `reach`; outside, and on the cells an outline runs through: 0.
tpix2d distanceMap(const tStereoWarstwa& layer, int first, int last, double reach) {
    const int X = rasterSizeX, Y = rasterSizeY;
    const double p = pixelSize;
    tpix2d map(X + 1, Y + 1);
    // Even-odd fill column by column: where the column line crosses segments.
    std::vector<std::vector<double>> crossings(size_t(X) + 1);
    for (int fi = first; fi <= last; ++fi) {
        const auto& poz = figureList[size_t(fi)]->poz;
        for (size_t i = 0; i + 1 < poz.size(); ++i) {
            const TrPkt3D &a = poz[i], &b = poz[i + 1];
            if (a.x == b.x) continue;
            for (int ix = std::max(0, cellCeil(std::min(a.x, b.x)));
                 ix <= std::min(X, cellFloor(std::max(a.x, b.x))); ++ix) {
                const double x = ix * p;
                if ((a.x <= x) == (b.x <= x)) continue; // half-open: a vertex counts once
                crossings[size_t(ix)].push_back(a.y + (x - a.x) * (double(b.y) - a.y) /
                                                          (double(b.x) - a.x));
            }
        }
    }
    for (int ix = 0; ix <= X; ++ix) {
        auto& ys = crossings[size_t(ix)];
        std::sort(ys.begin(), ys.end());
        for (size_t k = 0; k + 1 < ys.size(); k += 2)
            for (int iy = std::max(0, cellCeil(ys[k])); iy <= std::min(Y, cellFloor(ys[k + 1]));
                 ++iy)
                map[ix][iy] = static_cast<float>(reach);
    }
    // Exact distances in the band the rings can reach.
    for (int fi = first; fi <= last; ++fi) {
        const auto& poz = figureList[size_t(fi)]->poz;
        for (size_t i = 0; i + 1 < poz.size(); ++i) {
            const TrPkt3D &a = poz[i], &b = poz[i + 1];
            const int x0 = std::max(0, cellFloor(std::min(a.x, b.x) - reach));
            const int x1 = std::min(X, cellCeil(std::max(a.x, b.x) + reach));
            const int y0 = std::max(0, cellFloor(std::min(a.y, b.y) - reach));
            const int y1 = std::min(Y, cellCeil(std::max(a.y, b.y) + reach));
            for (int ix = x0; ix <= x1; ++ix)
                for (int iy = y0; iy <= y1; ++iy) {
                    float& cell = map[ix][iy];
                    if (cell > 0)
                        cell = std::min(cell,
                                        static_cast<float>(segmentDistance(ix * p, iy * p, a, b)));
                }
        }
    }
    // The outlines drawn: their cells belong to the border.
    tpix2d drawn(X + 1, Y + 1);
    drawn.fill(-1.0f);
    layer.zakreskujBitmape(first, last, drawn);
    for (int ix = 0; ix <= X; ++ix)
        for (int iy = 0; iy <= Y; ++iy)
            if (drawn[ix][iy] > -1.0f) map[ix][iy] = 0;
    return map;
}

} // namespace

std::vector<double> ringLevels(int perimeters, double w) {
    std::vector<double> levels;
    for (int r = 0; r < perimeters; ++r) levels.push_back((r + 0.5) * w);
    levels.push_back(std::max((perimeters + 0.25) * w, 0.5 * w));
    return levels;
}

RingStarts obrysyWarstwy(const tStereoWarstwa& layer, int first, int last, int perimeters,
                         double w) {
    RingStarts starts{static_cast<int>(figureList.size()), static_cast<int>(figureList.size())};
    if (!(pixelSize > 0) || !(w > 0) || rasterSizeX <= 0 || rasterSizeY <= 0 || last < first)
        return starts;
    const std::vector<double> levels = ringLevels(std::max(0, perimeters), w);
    const tpix2d map = distanceMap(layer, first, last, levels.back() + 2 * pixelSize);
    tpix2dRec status(rasterSizeX + 1, rasterSizeY + 1);
    for (size_t k = 0; k < levels.size(); ++k) {
        if (k + 1 == levels.size()) starts.lastRingStart = static_cast<int>(figureList.size());
        FigureList rings;
        traceContours(map, 0, 0, rasterSizeX, rasterSizeY, levels[k], status, rings);
        for (auto& f : rings) {
            f->pochodzi = -1;
            f->doUsuniecia = false;
            f->obrys = 1;
            f->PoliczSrodek();
            f->PoliczDlugosc();
            addFigure(std::move(f));
        }
    }
    return starts;
}

} // namespace korvane
