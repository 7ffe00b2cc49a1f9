#include "generation/GenerujStereo.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "generation/GenState.h"
#include "generation/Przejazdy.h"
#include "generation/Redukcja.h"
#include "generation/StereoObrysy.h"
#include "generation/StereoWarstwa.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

// Adds the time since the last call to the phase named.
class PhaseClock {
  public:
    explicit PhaseClock(PrintPhaseSeconds& seconds) : seconds_(seconds) {}
    void add(double PrintPhaseSeconds::*phase) {
        const auto now = Clock::now();
        seconds_.*phase += std::chrono::duration<double>(now - last_).count();
        last_ = now;
    }

  private:
    PrintPhaseSeconds& seconds_;
    Clock::time_point last_ = Clock::now();
};

int count() {
    return static_cast<int>(figureList.size());
}

void deleteRange(int first, int last) {
    figureList.erase(figureList.begin() + first, figureList.begin() + last + 1);
}

void sortByGroupAndNumber() {
    std::stable_sort(figureList.begin(), figureList.end(), [](const auto& a, const auto& b) {
        if (a->grupa != b->grupa) return a->grupa < b->grupa;
        return a->nowyNumer < b->nowyNumer;
    });
}

// One layer at ZWarstwy; the cut has already put its outlines from
// ilosci.Start on.
void printLayer(tStereoWarstwa& sw, const TOperacjaDane& oper, int k, PhaseClock& clock) {
    const double w = oper.warstwaSzer;
    const int start = sw.ilosci.Start;
    const int outlines = sw.ilosci.iloscGlownych;
    const int lastOutline = start + outlines - 1;
    for (int i = start; i <= lastOutline; ++i) figureList[size_t(i)]->grupa = -1;

    // Classification: the strokes only tell outer outlines from inner ones.
    sw.zakreskuj(start, lastOutline, 0, pixelSize);
    for (int i = count() - 1; i >= start; --i)
        if (figureList[size_t(i)]->pomocnicza3D)
            deleteFigure(i);
        else
            figureList[size_t(i)]->UsunDuplikacjePunktow();
    // Containment is read only for the outlines (the order of the island
    // groups): found while they are the only figures of the layer.
    CoWczym(start);

    const RingStarts rings = obrysyWarstwy(sw, start, lastOutline, oper.iloscObrysow, w);
    const int c1 = rings.firstRingStart, c2 = rings.lastRingStart;
    sw.ilosci.iloscOutline = count();

    sw.SzerokoscWarstwy = w;
    usrednij(start + outlines);
    redukuj(start + outlines);
    clock.add(&PrintPhaseSeconds::perimeters);

    sw.ilosci.PoczatekKresek = count();
    if (c2 < count()) sw.zakreskuj(c2, count() - 1, katWypelnienia(k) * std::numbers::pi / 180, w);
    sw.ilosci.iloscKresek = count() - sw.ilosci.PoczatekKresek;
    clock.add(&PrintPhaseSeconds::hatching);

    for (int i = c1; i < count(); ++i) figureList[size_t(i)]->UsunDuplikacjePunktow();
    // The infill's boundary ring has done its work.
    const int boundary = sw.ilosci.iloscOutline - c2;
    if (boundary > 0) deleteRange(c2, sw.ilosci.iloscOutline - 1);
    sw.ilosci.iloscOutline -= boundary;
    sw.ilosci.PoczatekKresek -= boundary;

    sw.UstawZ(start, count() - 1);
    if (sw.ilosci.iloscKresek > 0) sw.polaczKreski(sw.ilosci.PoczatekKresek, 4 * w);
    clock.add(&PrintPhaseSeconds::joining);
    for (int i = start; i < count(); ++i) figureList[size_t(i)]->NrWarstwy = k;
    if (oper.warstwyGrupowanie) {
        sw.Grupuj(start, lastOutline, start + outlines, count() - 1);
    } else {
        for (int i = start + outlines; i < count(); ++i) figureList[size_t(i)]->grupa = 0;
    }
    clock.add(&PrintPhaseSeconds::ordering);
    if (c2 > c1) sw.polaczWarstwe(start + outlines, c2 - 1);
    clock.add(&PrintPhaseSeconds::joining);
    sortByGroupAndNumber();
    for (auto it = figureList.rbegin(); it != figureList.rend(); ++it)
        if (!(*it)->poz.empty()) {
            sw.OstatniPunkt = (*it)->poz.back();
            break;
        }
    clock.add(&PrintPhaseSeconds::ordering);
}

} // namespace

int liczbaWarstw(double height, double thickness) {
    if (!(thickness > 0) || !(height > 0)) return 0;
    return static_cast<int>(roundHalfEven(height / thickness + 0.5));
}

double wysokoscWarstwy(int k, double thickness) {
    return (k + 0.1) * thickness;
}

double katWypelnienia(int k) {
    return k % 2 == 0 ? 135.0 : 45.0;
}

PrintPhaseSeconds GenerujStereo(const TOperacjaDane& oper) {
    PrintPhaseSeconds seconds;
    const double t = oper.warstwaGrubosc;
    const int layers = liczbaWarstw(modelSize.z, t);
    if (layers <= 0 || !(oper.warstwaSzer > 0) || !(pixelSize > 0) || modelTriangles.empty())
        return seconds;
    if (rasterSizeX <= 0 || rasterSizeY <= 0) setRasterSizeFromModel();
    const auto begin = Clock::now();
    PhaseClock clock(seconds);
    tStereoWarstwa sw(modelTriangles);
    sw.kolejnyNumerFigury = 0;
    sw.ilosci.iloscOtwartych = 0;
    sw.OstatniPunkt = {};
    sw.GrupujStart();
    for (int k = 0; k < layers && !generationTerminate; ++k) {
        sw.SzerokoscWarstwy = pixelSize / 2;
        sw.ZWarstwy = wysokoscWarstwy(k, t);
        sw.ilosci.Start = count();
        clock.add(&PrintPhaseSeconds::ordering);
        sw.resume();
        sw.waitSuspended();
        clock.add(&PrintPhaseSeconds::slicing);
        if (sw.ilosci.iloscGlownych > 0) printLayer(sw, oper, k, clock);
        printProgress = 80.0 * (k + 1) / layers;
        const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
        printTimeLeft = elapsed * (layers - k - 1) / (k + 1);
    }
    clock.add(&PrintPhaseSeconds::ordering);

    for (auto& f : figureList) f->UsunDuplikacjePunktow();
    std::erase_if(figureList, [](const auto& f) { return f->poz.empty(); });
    sortByGroupAndNumber();
    dodajPrzejazdy(figureList, [](double share) { printProgress = 80 + 20 * share; });
    // Every outline goes, the last in the list too.
    std::erase_if(figureList, [](const auto& f) { return f->glowna; });
    printProgress = 100;
    printTimeLeft = 0;
    sw.GrupujFinish();
    clock.add(&PrintPhaseSeconds::ordering);
    return seconds;
}

} // namespace korvane
