#include "generation/Kreski.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/MotionMap.h"
#include "generation/Redukcja.h"
#include "import/HPGL.h"
#include "libraries/LibraryState.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>

namespace korvane {

double layerTop = 0;
TrPkt3D currentLevel;
double lowLimit = 0;
double highLimit = 0;
std::unique_ptr<tFigura> currentFigure;

namespace {

double snap(double v) {
    return static_cast<double>(roundHalfEven(v / pixelSize)) * pixelSize;
}

float surfaceHeight(double x, double y) {
    return static_cast<float>(
        motionHeightInterpolated({static_cast<float>(x), static_cast<float>(y), 0.0f}));
}

int sampleCount(const TrPkt3D& a, const TrPkt3D& b) {
    return static_cast<int>(
        roundHalfEven(std::hypot(double(b.x) - a.x, double(b.y) - a.y) / pixelSize));
}

TrPkt3D sample(const TrPkt3D& a, const TrPkt3D& b, int i, int n) {
    const double t = n == 0 ? 0.0 : double(i) / n;
    const double x = a.x + t * (double(b.x) - a.x), y = a.y + t * (double(b.y) - a.y);
    return {static_cast<float>(x), static_cast<float>(y), surfaceHeight(x, y)};
}

void closeOff(std::unique_ptr<tFigura> f, bool layer) {
    f->fig_ppz = currentLevel.z;
    f->PoliczSrodek();
    f->zamknieta = !f->poz.empty() && within(f->poz.front(), f->poz.back(), pixelSize / 4);
    f->plaszczyzna = false;
    f->warstwa = layer;
    addFigure(std::move(f));
}

double materialHeight() {
    return project ? static_cast<double>(project->d.material.rozmZ) : 0.0;
}

// Smoothing (unless precise) and reduction of every figure from `first` on.
void tidyFigures(size_t first, bool precise, bool cornerCheckLast) {
    for (size_t i = first; i < figureList.size(); ++i) {
        if (generationTerminate) return;
        if (!precise) {
            smoothFigure(*figureList[i], {{4, false}, {4, false}, {4, cornerCheckLast}});
        }
        reduceFigure(static_cast<int>(i), 0.1 * pixelSize);
    }
}

} // namespace

void followSurface(const TrPkt3D& a, const TrPkt3D& b) {
    const int n = sampleCount(a, b);
    auto inside = [](const TrPkt3D& s) { return lowLimit <= s.z && s.z <= highLimit; };
    std::unique_ptr<tFigura> open;
    for (int i = 0; i <= n; ++i) {
        const TrPkt3D s = sample(a, b, i, n);
        if (inside(s)) {
            if (!open) open = std::make_unique<tFigura>();
            open->dodajPunktTrPkt3D(s);
        } else if (open) {
            closeOff(std::move(open), false);
        }
    }
    if (open) closeOff(std::move(open), false);
}

void startCurrentFigure() {
    currentFigure = std::make_unique<tFigura>();
}

void appendSurfacePoints(const TrPkt3D& a, const TrPkt3D& b) {
    const int n = sampleCount(a, b);
    for (int k = 0; k <= n; ++k) currentFigure->dodajPunktTrPkt3D(sample(a, b, k, n));
}

void finishCurrentFigure() {
    closeOff(std::move(currentFigure), true);
}

void hatchLines(bool joined, double angle, double spacing, double X, double Y) {
    // A spacing of zero or less would never leave the area.
    if (!(spacing > 0)) return;
    constexpr double pi = std::numbers::pi;
    while (angle > pi / 2) angle -= pi;
    while (angle < -pi / 2) angle += pi;

    bool forward = true;
    if (joined) startCurrentFigure();
    auto stroke = [&](double px, double py, double qx, double qy) {
        const TrPkt3D p{float(px), float(py), 0}, q{float(qx), float(qy), 0};
        if (!joined) {
            followSurface(p, q);
        } else {
            forward ? appendSurfacePoints(p, q) : appendSurfacePoints(q, p);
            forward = !forward;
        }
    };
    // Positions 0, s, 2s, ... with a last stroke on the far edge.
    auto steps = [&](double extent, auto&& body) {
        for (double v = 0; v <= extent;) {
            body(v);
            v = (extent - spacing < v && v < extent) ? extent : v + spacing;
        }
    };

    if (std::fabs(angle) < 0.001) {
        steps(Y, [&](double y) { stroke(0, y, X, y); });
    } else if (pi / 2 - std::fabs(angle) < 0.001) {
        steps(X, [&](double x) { angle > 0 ? stroke(x, 0, x, Y) : stroke(x, Y, x, 0); });
    } else if (angle > 0) {
        const double m = std::tan(angle), d = spacing / std::cos(angle);
        for (double c = -X * m; c <= Y; c += d) {
            const double px = c >= 0 ? 0 : -c / m, py = c >= 0 ? c : 0;
            const bool top = c + m * X > Y;
            stroke(px, py, top ? (Y - c) / m : X, top ? Y : c + m * X);
        }
    } else {
        const double m = std::tan(angle), d = spacing / std::cos(angle);
        for (double c = Y - X * m; c >= 0; c -= d) {
            const double px = c <= Y ? 0 : (Y - c) / m, py = c <= Y ? c : Y;
            const bool bottom = c + m * X < 0;
            stroke(px, py, bottom ? -c / m : X, bottom ? 0 : c + m * X);
        }
    }
    if (joined) finishCurrentFigure();
}

double hatchLayerTop(const TOperacjaDane& oper) {
    return snap(std::max(modelSize.z + oper.zostawDoNastOper + 10, materialHeight()));
}

void generujKreski(const TOperacjaDane& oper) {
    layerTop = hatchLayerTop(oper);
    currentLevel = {0, 0, static_cast<float>(layerTop)};
    lowLimit = oper.granicaZdolna;
    highLimit = oper.granicaZgorna;
    const size_t first = figureList.size();
    hatchLines(oper.polaczoneKonce, oper.kat * std::numbers::pi / 180, oper.warstwaSzer,
               modelSize.x, modelSize.y);
    tidyFigures(first, oper.ObliczeniaPrecyzyjne, true);
}

void generujKreskiPlt(const TOperacjaDane& oper) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(oper.plikPlt, error)) return;
    std::vector<tFigura> plotFigures;
    Thpgl reader;
    reader.open(oper.plikPlt);
    for (;;) {
        tFigura f;
        if (!reader.get_figura(f)) break;
        plotFigures.push_back(std::move(f));
    }
    reader.close();

    // Move the drawing's lower-left corner to the origin.
    constexpr float inf = std::numeric_limits<float>::infinity();
    float minX = inf, minY = inf;
    for (const auto& f : plotFigures)
        for (const auto& p : f.poz) minX = std::min(minX, p.x), minY = std::min(minY, p.y);
    for (auto& f : plotFigures)
        for (auto& p : f.poz) p.x -= minX, p.y -= minY;

    layerTop = hatchLayerTop(oper);
    currentLevel = {0, 0, static_cast<float>(layerTop)};
    for (const auto& plot : plotFigures) {
        if (generationTerminate) return;
        if (plot.poz.empty()) continue;
        startCurrentFigure();
        for (size_t i = 1; i < plot.poz.size(); ++i)
            appendSurfacePoints(plot.poz[i - 1], plot.poz[i]);
        finishCurrentFigure();
        const int index = static_cast<int>(figureList.size()) - 1;
        if (!oper.ObliczeniaPrecyzyjne)
            smoothFigure(*figureList[size_t(index)], {{4, false}, {4, false}, {4, false}});
        reduceFigure(index, 0.1 * pixelSize);
    }
}

} // namespace korvane
