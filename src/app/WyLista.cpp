#include "app/WyLista.h"

#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "foundation/Units.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace korvane {

TListaWy::TListaWy() {
    LadujListe();
    Sortuj();
}

void TListaWy::LadujListe() {
    Lista.clear();
    std::error_code ec;
    const std::string extension = std::string(".") + outputExtension;
    for (const auto& entry :
         std::filesystem::directory_iterator(dataFolder / outputFolderName, ec)) {
        if (!entry.is_regular_file(ec) || entry.path().extension() != extension) continue;
        const std::string file = entry.path().filename().string();
        auto item = std::make_unique<TWyDaneSkr>();
        item->nazwa = file.substr(0, file.find('.'));
        TOperacjaDane oper;
        if (operationLibrary && operationLibrary->PobierzDaneOperacjiZlisty(item->nazwa, oper)) {
            item->idTyp = oper.idTyp;
            item->warstwaSzer = oper.warstwaSzer;
            item->warstwaGrubosc = oper.warstwaGrubosc;
        }
        Lista.push_back(std::move(item));
    }
}

void TListaWy::Sortuj() {
    std::sort(Lista.begin(), Lista.end(), [](const auto& a, const auto& b) {
        TOperacjaDane x, y;
        x.nazwa = a->nazwa, x.idTyp = a->idTyp, x.warstwaSzer = a->warstwaSzer,
        x.warstwaGrubosc = a->warstwaGrubosc;
        y.nazwa = b->nazwa, y.idTyp = b->idTyp, y.warstwaSzer = b->warstwaSzer,
        y.warstwaGrubosc = b->warstwaGrubosc;
        return operationBefore(x, y);
    });
}

namespace {

std::string fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

} // namespace

OutputParameters outputParameters(double L, int figures, int corners, const TOperacjaDane* oper) {
    OutputParameters r;
    const int unit = std::clamp(settings.jednostkaMiary, 0, 2);
    if (unit == unitMillimetre)
        r.length = fixed(L / 1000, 1) + " m";
    else
        r.length = fixed(L / unitFactor(unit), unit == unitFoot ? 4 : 3) + " " +
                   unitTable[size_t(unit)].skrot;

    if (const auto t = machiningMinutes(L, figures, corners, oper)) {
        r.time = minutesText(*t);
        if (settings.printer3D)
            r.volume = fixed(L * oper->warstwaSzer * oper->warstwaGrubosc, 0) + "mm3";
    }
    r.body = txt("Main_window", "dlSciezkiNarzedzia") + " : " + r.length + "\r\n" +
             txt("Main_window", "czasTrwaniaOper") + " : " + r.time;
    if (settings.printer3D) r.body += "\r\nObjetosc : " + r.volume;
    return r;
}

std::optional<double> machiningMinutes(double L, int figures, double corners,
                                       const TOperacjaDane* oper) {
    if (!oper || !(oper->szybkosc > 0)) return std::nullopt;
    const double v = oper->szybkosc;
    const bool fast = machineParams.newSpeedEncoding != 0;
    switch (oper->idTyp) {
    case opHatching:
    case opPlotHatching:
        return fast ? L / v : L / v * 3.4;
    case opMixed:
        return fast ? L / v * 1.05 + figures * 0.01 : L / v * 5;
    case opPrinting:
        return L / v + v / 1000 * corners * 0.0000236;
    default:
        return fast ? L / v + figures * 0.05 : L / v + figures * 0.7;
    }
}

std::string minutesText(double minutes) {
    const long long T = roundHalfEven(minutes);
    return T < 60 ? std::to_string(T) + " min"
                  : std::to_string(T / 60) + " h " + std::to_string(T % 60) + " min";
}

} // namespace korvane
