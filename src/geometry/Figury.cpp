#include "geometry/Figury.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane {

FigureList figureList;
int figureCounter = 0;

namespace {

double snapToGrid(double v) {
    return static_cast<double>(roundHalfEven(v / pixelSize)) * pixelSize;
}

double distance3(const TrPkt3D& a, double x, double y, double z) {
    const double dx = a.x - x, dy = a.y - y, dz = a.z - z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// An empty figure sorts as if it started at the origin, so that the orders stay
// consistent whatever the list holds.
TrPkt3D firstPoint(const tFigura& f) {
    return f.poz.empty() ? TrPkt3D{} : f.poz.front();
}

} // namespace

void tFigura::PoliczSrodek() {
    constexpr float big = 2147483648.0f;
    Pmax = {-big, -big, -big};
    Pmin = {big, big, big};
    for (int i = 0; i < count(); ++i) {
        const TrPkt3D& p = poz[static_cast<size_t>(i)];
        if (p.x > Pmax.x) Pmax.x = p.x, prawy = p;
        if (p.y > Pmax.y) Pmax.y = p.y, gorny = p;
        if (p.z > Pmax.z) Pmax.z = p.z;
        if (p.x < Pmin.x) Pmin.x = p.x, lewy = p;
        if (p.y < Pmin.y) Pmin.y = p.y, minYindex = i, dolny = p;
        if (p.z < Pmin.z) Pmin.z = p.z;
    }
    srodek.x = static_cast<float>(snapToGrid((double(Pmin.x) + Pmax.x) / 2));
    srodek.y = static_cast<float>(snapToGrid((double(Pmin.y) + Pmax.y) / 2));
    srodek.z = static_cast<float>(snapToGrid((double(Pmin.z) + Pmax.z) / 2));
    przekatna = static_cast<float>(distance3(Pmax, Pmin.x, Pmin.y, Pmin.z));
}

void tFigura::UsunDuplikacjePunktow() {
    size_t i = 0;
    while (i + 1 < poz.size()) {
        if (within(poz[i], poz[i + 1], 0.0001))
            poz.erase(poz.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void tFigura::PoliczDlugosc() {
    dlugosc = 0;
    for (size_t i = 1; i < poz.size(); ++i)
        dlugosc += distance3(poz[i], poz[i - 1].x, poz[i - 1].y, poz[i - 1].z);
}

int tFigura::najblizszySrodkaProjektu() const {
    if (poz.empty()) return -1;
    const double cx = modelSize.x / 2.0, cy = modelSize.y / 2.0, cz = poz.front().z;
    int best = 0;
    double bestDistance = distance3(poz[0], cx, cy, cz);
    for (int i = 1; i < count(); ++i) {
        const double d = distance3(poz[static_cast<size_t>(i)], cx, cy, cz);
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return best;
}

void addFigure(std::unique_ptr<tFigura> f) {
    figureList.push_back(std::move(f));
    ++figureCounter;
}

void deleteFigure(int index) {
    figureList.erase(figureList.begin() + index);
}

void sortFigures(FigureList& list, FigureOrder order) {
    using P = std::unique_ptr<tFigura>;
    switch (order) {
    case FigureOrder::byStartHeight:
        std::sort(list.begin(), list.end(), [](const P& a, const P& b) {
            const TrPkt3D pa = firstPoint(*a), pb = firstPoint(*b);
            if (pa.z != pb.z) return pa.z > pb.z;
            if (pa.x != pb.x) return pa.x < pb.x;
            return pa.y < pb.y;
        });
        break;
    case FigureOrder::byStartHeightThenSize:
        std::sort(list.begin(), list.end(), [](const P& a, const P& b) {
            const float za = firstPoint(*a).z, zb = firstPoint(*b).z;
            if (za != zb) return za > zb;
            return a->przekatna < b->przekatna;
        });
        break;
    case FigureOrder::byGroup:
        std::sort(list.begin(), list.end(), [](const P& a, const P& b) {
            if (a->grupa != b->grupa) return a->grupa < b->grupa;
            return a->iloscWewnatrz < b->iloscWewnatrz;
        });
        break;
    }
}

bool within(const TrPkt3D& a, const TrPkt3D& b, double tolerance) {
    return std::fabs(double(a.x) - b.x) < tolerance && std::fabs(double(a.y) - b.y) < tolerance &&
           std::fabs(double(a.z) - b.z) < tolerance;
}

bool samePoint(const TrPkt3D& a, const TrPkt3D& b) {
    return within(a, b, 0.001);
}

double distance3(const TrPkt3D& a, const TrPkt3D& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double angleAt(const TrPkt3D& vertex, const TrPkt3D& a, const TrPkt3D& b) {
    const double la = distance3(vertex, a), lb = distance3(vertex, b), lab = distance3(a, b);
    if (la == 0 || lb == 0) return 90.0;
    const double cosine = std::clamp((la * la + lb * lb - lab * lab) / (2 * la * lb), -1.0, 1.0);
    return std::acos(cosine) * 180.0 / std::numbers::pi;
}

} // namespace korvane
