#include "libraries/Operacje.h"

#include "foundation/IniFile.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryFile.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace korvane {

namespace {

constexpr std::size_t toolIdLength = 38;

bool isOneOf(int type, std::initializer_list<int> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

// The keys written for a type, in file order. Unknown types (-1 and the like)
// get every key that is written for "all but" some types.
void writeKeys(IniFile& ini, const TOperacjaDane& o) {
    const char* s = operationSection;
    const int t = o.idTyp;
    const bool milling = !isOneOf(t, {opPrinting, opOutline});
    const bool moving = t != opOutline;
    ini.writeString(s, "nazwa", o.nazwa);
    ini.writeInteger(s, "idTyp", t);
    if (milling) ini.writeString(s, "narzedzie", o.narzedzie);
    if (t == opPlotHatching) ini.writeString(s, "plikNzw", o.plikPlt);
    if (isOneOf(t, {opRoughing, opPlanes, opHatching, opMixed, opPrinting}))
        ini.writeFloat(s, "warstwaSzer", o.warstwaSzer);
    if (isOneOf(t, {opRoughing, opLayeredFinishing, opMixed, opPrinting}))
        ini.writeFloat(s, "warstwaGrubosc", o.warstwaGrubosc);
    if (t == opPrinting) ini.writeBool(s, "warstwyGrupowanie", o.warstwyGrupowanie);
    if (t == opHatching) ini.writeFloat(s, "kat", o.kat);
    if (isOneOf(t, {opLayeredFinishing, opHatching, opMixed}))
        ini.writeBool(s, "polaczoneKonce", o.polaczoneKonce);
    if (t == opRoughing) ini.writeBool(s, "miekkieWejscie", o.miekkieWejscie);
    if (milling) ini.writeFloat(s, "zostawDoNastOper", o.zostawDoNastOper);
    if (moving) ini.writeFloat(s, "szybkosc", o.szybkosc);
    if (moving) ini.writeFloat(s, "szybkoscPrzestawcza", o.szybkoscPrzestawcza);
    if (milling) ini.writeFloat(s, "posuwWiercenia", o.posuwWiercenia);
    if (milling) ini.writeFloat(s, "obroty", o.obroty);
    if (moving) ini.writeFloat(s, "dolnaGranicaZ", o.granicaZdolna);
    if (moving) ini.writeFloat(s, "gornaGranicaZ", o.granicaZgorna);
    if (milling && t != opRoughing)
        ini.writeBool(s, "obliczeniaPrecyzyjne", o.ObliczeniaPrecyzyjne);
    if (t == opPrinting) {
        ini.writeFloat(s, "tempRobocza", o.tempRobocza);
        ini.writeFloat(s, "zuzycieMaterialu", o.zuzycieMaterialu);
        ini.writeInteger(s, "iloscObrysow", o.iloscObrysow);
    }
    if (t == opOutline) {
        ini.writeBool(s, "automatycznyPoziom", o.automatycznyPoziom);
        ini.writeFloat(s, "poziomObrysu", o.poziomObrysu);
    }
    ini.writeString(s, "opis", o.opis);
}

// Every key whatever the type; a missing or unreadable one gives the default.
TOperacjaDane readKeys(const IniFile& ini) {
    const char* s = operationSection;
    const TOperacjaDane d;
    TOperacjaDane o;
    auto integer = [&](const char* key, int fallback) {
        const long long v = ini.readInteger(s, key, fallback);
        return v < -2147483648LL || v > 2147483647LL ? fallback : static_cast<int>(v);
    };
    o.nazwa = ini.readString(s, "nazwa", "");
    o.idTyp = integer("idTyp", d.idTyp);
    o.narzedzie = ini.readString(s, "narzedzie", "");
    o.plikPlt = ini.readString(s, "plikNzw", "");
    o.warstwaSzer = ini.readFloat(s, "warstwaSzer", d.warstwaSzer);
    o.warstwaGrubosc = ini.readFloat(s, "warstwaGrubosc", d.warstwaGrubosc);
    o.warstwyGrupowanie = ini.readBool(s, "warstwyGrupowanie", d.warstwyGrupowanie);
    o.kat = ini.readFloat(s, "kat", d.kat);
    o.polaczoneKonce = ini.readBool(s, "polaczoneKonce", d.polaczoneKonce);
    o.miekkieWejscie = ini.readBool(s, "miekkieWejscie", d.miekkieWejscie);
    o.zostawDoNastOper = ini.readFloat(s, "zostawDoNastOper", d.zostawDoNastOper);
    o.szybkosc = ini.readFloat(s, "szybkosc", d.szybkosc);
    o.szybkoscPrzestawcza = ini.readFloat(s, "szybkoscPrzestawcza", d.szybkoscPrzestawcza);
    o.posuwWiercenia = ini.readFloat(s, "posuwWiercenia", d.posuwWiercenia);
    o.obroty = ini.readFloat(s, "obroty", d.obroty);
    o.granicaZdolna = ini.readFloat(s, "dolnaGranicaZ", d.granicaZdolna);
    o.granicaZgorna = ini.readFloat(s, "gornaGranicaZ", d.granicaZgorna);
    o.ObliczeniaPrecyzyjne = ini.readBool(s, "obliczeniaPrecyzyjne", d.ObliczeniaPrecyzyjne);
    o.tempRobocza = ini.readFloat(s, "tempRobocza", d.tempRobocza);
    o.zuzycieMaterialu = ini.readFloat(s, "zuzycieMaterialu", d.zuzycieMaterialu);
    o.iloscObrysow = integer("iloscObrysow", d.iloscObrysow);
    o.automatycznyPoziom = ini.readBool(s, "automatycznyPoziom", d.automatycznyPoziom);
    o.poziomObrysu = ini.readFloat(s, "poziomObrysu", d.poziomObrysu);
    o.opis = ini.readString(s, "opis", "");
    return o;
}

// Larger first; NaN (a damaged file) counts as the smallest value.
int compareDescending(double a, double b) {
    const double x = std::isnan(a) ? -INFINITY : a;
    const double y = std::isnan(b) ? -INFINITY : b;
    return x > y ? -1 : x < y ? 1 : 0;
}

} // namespace

std::filesystem::path operationsFolder() {
    return dataFolder / "Operations";
}

std::filesystem::path operationFile(const std::string& name) {
    return operationsFolder() / (name + "." + operationExtension);
}

std::string operationFileText(const TOperacjaDane& operation) {
    IniFile ini({});
    writeKeys(ini, operation);
    return ini.text();
}

bool saveOperationFile(const std::filesystem::path& file, const TOperacjaDane& operation) {
    IniFile ini(file);
    ini.eraseSection(operationSection);
    writeKeys(ini, operation);
    return ini.save();
}

bool writeDefaultOperations(const std::filesystem::path& folder) {
    const bool polish = texts && texts->skrotJez == "PL";
    const char* toolA = "{4A2B4D7F-05FC-4C1A-A051-BC8CB8EDEC47}";
    const char* toolB = "{7F0E47C7-6097-46F0-9034-F741CF02E737}";
    struct Row {
        const char* name;
        const char* namePL;
        int type;
        const char* tool;
        double width, depth, angle, allowance, feed;
        bool connected;
        const char* plotFile;
    };
    static const Row rows[] = {
        {"Roughing", "Zgrubna", opRoughing, toolA, 3, 3, 0, 1, 8000, false, ""},
        {"Layering", "Warstwowa", opLayeredFinishing, toolB, 0, 2, 0, 0, 3000, true, ""},
        {"Surfacing", "Płaszczyznowa", opPlanes, toolA, 2, 0, 0, 1, 3000, false, ""},
        {"Lining", "Kreskowanie", opHatching, toolB, 0.3, 0, 90, 0, 3000, true, ""},
        {"Lining_from_file", "Kreskowanie z pliku", opPlotHatching, toolB, 0, 0, 0, 0, 3000, false,
         "C:\\PLT\\Tesmo.plt"},
        {"Mixed", "Mieszana", opMixed, toolB, 1, 0.25, 0, 0, 3000, false, ""},
    };
    bool ok = true;
    for (const Row& r : rows) {
        TOperacjaDane o;
        o.nazwa = polish ? r.namePL : r.name;
        o.idTyp = r.type;
        o.narzedzie = r.tool;
        o.warstwaSzer = r.width;
        o.warstwaGrubosc = r.depth;
        o.kat = r.angle;
        o.zostawDoNastOper = r.allowance;
        o.szybkosc = r.feed;
        o.polaczoneKonce = r.connected;
        o.plikPlt = r.plotFile;
        o.szybkoscPrzestawcza = 16000;
        o.posuwWiercenia = 3000;
        o.obroty = 18000;
        o.granicaZdolna = 0;
        o.granicaZgorna = 170;
        o.warstwyGrupowanie = false;
        o.miekkieWejscie = false;
        o.ObliczeniaPrecyzyjne = false;
        o.automatycznyPoziom = false;
        o.poziomObrysu = 0;
        ok = saveOperationFile(folder / (o.nazwa + "." + operationExtension), o) && ok;
    }
    return ok;
}

bool operationBefore(const TOperacjaDane& a, const TOperacjaDane& b) {
    if (a.idTyp != b.idTyp) return a.idTyp < b.idTyp;
    if (int c = compareDescending(a.warstwaSzer, b.warstwaSzer)) return c < 0;
    if (int c = compareDescending(a.warstwaGrubosc, b.warstwaGrubosc)) return c < 0;
    return compareText(a.nazwa, b.nazwa) < 0;
}

TOperacje::TOperacje() {
    LadujListe();
}

void TOperacje::LadujListe() {
    UsunWszystkieElListy();
    for (const auto& file : libraryFiles(operationsFolder(), operationExtension)) {
        TOperacjaDane operation;
        if (PobierzDaneOperacjiZpliku(file, operation))
            Lista.push_back(std::make_unique<TOperacjaDane>(std::move(operation)));
    }
    Sortuj();
}

bool TOperacje::PobierzDaneOperacjiZpliku(const std::filesystem::path& file,
                                          TOperacjaDane& operation) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    const IniFile ini(file);
    if (!ini.sectionExists(operationSection)) return false;
    operation = readKeys(ini);
    operation.narzedzie = std::string(firstCharacters(operation.narzedzie, toolIdLength));
    if (operation.obroty > machineParams.spindleSpeedMax)
        operation.obroty = machineParams.spindleSpeedMax;
    if (operation.obroty < machineParams.spindleSpeedMin)
        operation.obroty = machineParams.spindleSpeedMin;
    return true;
}

void TOperacje::Sortuj() {
    std::stable_sort(Lista.begin(), Lista.end(),
                     [](const auto& a, const auto& b) { return operationBefore(*a, *b); });
}

bool TOperacje::JestTakaOperacja(std::string_view name, int index) const {
    for (std::size_t i = 0; i < Lista.size(); ++i)
        if (static_cast<int>(i) != index && sameText(Lista[i]->nazwa, name)) return true;
    return false;
}

bool TOperacje::PobierzDaneOperacjiZlisty(std::string_view name, TOperacjaDane& operation) const {
    for (const auto& o : Lista)
        if (sameText(o->nazwa, name)) {
            operation.nazwa = o->nazwa;
            operation.idTyp = o->idTyp;
            operation.warstwaSzer = o->warstwaSzer;
            operation.warstwaGrubosc = o->warstwaGrubosc;
            return true;
        }
    return false;
}

void TOperacje::UsunOperacjeZListy(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < Lista.size())
        Lista.erase(Lista.begin() + index);
}

void TOperacje::UsunWszystkieElListy() {
    while (!Lista.empty()) Lista.pop_back();
}

} // namespace korvane
