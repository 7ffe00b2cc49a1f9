#include "app/RawViewState.h"

#include "foundation/Rounding.h"

#include <cmath>

namespace korvane {

double SkalaWZakresie(double weSkala) {
    return weSkala >= 0 ? weSkala : 0;
}

void RawViewState::reset(int width, int height) {
    katPoziom = katPion = przesuwPoziom = przesuwPion = 0;
    const TMinMax& e = ParametryModelu;
    if (FTrybPracy == tpPrzegladNarzedzi) {
        skala = 0.01;
    } else {
        double diagonal = std::hypot(e.maxX - e.minX, e.maxY - e.minY);
        // A point (or nothing at all) has no size to fit; two points closer
        // than the geometric tolerance are one.
        if (!(diagonal >= 0.001) || !std::isfinite(diagonal)) diagonal = resetDiagonalWithoutArea;
        const double w = width, h = height;
        skala = std::sqrt(std::sqrt(w * w + h * h)) / diagonal * 0.15;
    }
    przesuwPoziom_1szy = -(e.minX + (e.maxX - e.minX) / 2);
    przesuwPion_1szy = -(e.minY + (e.maxY - e.minY) / 2);
    przesuwZ_1szy = FTrybPracy == tpPrzegladRAWtermSeryjne ? -(e.minZ + (e.maxZ - e.minZ) / 2) : 0;
}

void RawViewState::Nawigacja(int typOperacji, int deltaX, int deltaY) {
    switch (typOperacji) {
    case navRotate:
        katPoziom += deltaX * FModel_KrokObrotu;
        katPion -= deltaY * FModel_KrokObrotu;
        break;
    case navZoom:
        skala = SkalaWZakresie(skala - deltaY * FModel_KrokSkali);
        break;
    case navPan:
        przesuwPoziom += deltaX * FModel_KrokPrzesuwu;
        przesuwPion += deltaY * FModel_KrokPrzesuwu;
        break;
    default:
        break;
    }
}

bool RawViewState::press(MouseButton button, KeyModifiers keys, int x, int y) {
    if (Locked) return false;
    switch (button) {
    case MouseButton::left:
        Przesuwanie = true;
        break;
    case MouseButton::right:
        (keys.ctrl ? Skalowanie : Obroty) = true;
        break;
    case MouseButton::middle:
        Skalowanie = true;
        break;
    case MouseButton::other:
        break;
    }
    myszX = x;
    myszY = y;
    return true;
}

std::vector<NavigationStep> RawViewState::move(KeyModifiers keys, int x, int y) {
    std::vector<NavigationStep> steps;
    if (Locked || !(Obroty || Skalowanie || Przesuwanie)) return steps;
    const int dx = x - myszX;
    const int dy = myszY - y; // upwards positive
    if (Obroty) steps.push_back({navRotate, keys.alt ? 0 : dx, keys.shift ? 0 : dy});
    // Nawigacja lowers the zoom by its deltaY: an upward drag enlarges.
    if (Skalowanie) steps.push_back({navZoom, 0, -dy});
    if (Przesuwanie) steps.push_back({navPan, keys.ctrl ? 0 : dx, keys.shift ? 0 : dy});
    myszX = x;
    myszY = y;
    return steps;
}

bool RawViewState::release() {
    if (Locked) return false;
    Obroty = Skalowanie = Przesuwanie = false;
    return true;
}

bool RawViewState::wheel(int delta) {
    if (Locked) return false;
    skala = SkalaWZakresie(skala + delta * FModel_KrokSkaliRolka * FModel_KrokSkali);
    return true;
}

std::vector<AxisSegment> axisSegments(int width, int height) {
    const auto wh = static_cast<float>(roundHalfEven(width * 0.5L));
    const auto hh = static_cast<float>(roundHalfEven(height * 0.5L));
    return {
        {{0, -hh, 0}, {0, hh, 0}},      {{-wh, 0, 0}, {wh, 0, 0}},
        {{-5, hh - 10, 0}, {0, hh, 0}}, {{5, hh - 10, 0}, {0, hh, 0}},
        {{wh - 10, 5, 0}, {wh, 0, 0}},  {{wh - 10, -5, 0}, {wh, 0, 0}},
        {{0, 0, -hh}, {0, 0, hh}},
    };
}

} // namespace korvane
