#include "RecordFields.h"

#include "foundation/NumberText.h"

namespace korvane::cli {

Fields settingsFields(const TUstawienia& s) {
    std::string reserved;
    for (const std::uint8_t byte : s.zarezerwowane) {
        static constexpr char digits[] = "0123456789abcdef";
        reserved += digits[byte >> 4];
        reserved += digits[byte & 15];
    }
    const auto& ip = s.adresIP;
    const std::string address = std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." +
                                std::to_string(ip[2]) + "." + std::to_string(ip[3]);
    return {{"jednostkaMiary", static_cast<long long>(s.jednostkaMiary)},
            {"plikProjektu", s.plikProjektu},
            {"rozdzielczosc", s.rozdzielczosc},
            {"modelKolor", static_cast<long long>(s.modelKolor)},
            {"modelSposobKreslenia", static_cast<long long>(s.modelSposobKreslenia)},
            {"modelPolysk", s.modelPolysk},
            {"ukladWsp", s.ukladWsp},
            {"plytkaPomGrubosc", s.plytkaPomGrubosc},
            {"plytkaPomPolozenie", static_cast<long long>(s.plytkaPomPolozenie)},
            {"zarezerwowane", reserved},
            {"powiadomKoniecGenWy", s.powiadomKoniecGenWy},
            {"powiadomKoniecObrobki", s.powiadomKoniecObrobki},
            {"netSendOdbiorca", s.netSendOdbiorca},
            {"sprzegNawigacyjny", s.sprzegNawigacyjny},
            {"adresIP", address},
            {"ethernetConnection", s.ethernetConnection},
            {"printer3D", s.printer3D}};
}

Fields toolFields(const TFrezDane& t) {
    return {{"id", t.id}, {"nazwa", t.nazwa}, {"typ", static_cast<long long>(t.typ)},
            {"d1", t.d1}, {"d2", t.d2},       {"d3", t.d3},
            {"h", t.h},   {"hc", t.hc}};
}

Fields operationFields(const TOperacjaDane& o) {
    return {{"nazwa", o.nazwa},
            {"idTyp", static_cast<long long>(o.idTyp)},
            {"plikPlt", o.plikPlt},
            {"narzedzie", o.narzedzie},
            {"warstwaSzer", o.warstwaSzer},
            {"warstwaGrubosc", o.warstwaGrubosc},
            {"warstwyGrupowanie", o.warstwyGrupowanie},
            {"kat", o.kat},
            {"zostawDoNastOper", o.zostawDoNastOper},
            {"szybkosc", o.szybkosc},
            {"szybkoscPrzestawcza", o.szybkoscPrzestawcza},
            {"posuwWiercenia", o.posuwWiercenia},
            {"obroty", o.obroty},
            {"granicaZdolna", o.granicaZdolna},
            {"granicaZgorna", o.granicaZgorna},
            {"polaczoneKonce", o.polaczoneKonce},
            {"miekkieWejscie", o.miekkieWejscie},
            {"ObliczeniaPrecyzyjne", o.ObliczeniaPrecyzyjne},
            {"tempRobocza", o.tempRobocza},
            {"zuzycieMaterialu", o.zuzycieMaterialu},
            {"iloscObrysow", static_cast<long long>(o.iloscObrysow)},
            {"automatycznyPoziom", o.automatycznyPoziom},
            {"poziomObrysu", o.poziomObrysu},
            {"opis", o.opis}};
}

Fields materialFields(const TMaterial& m) {
    return {{"zrodlo", static_cast<long long>(m.zrodlo)},
            {"rozmX", static_cast<double>(m.rozmX)},
            {"rozmY", static_cast<double>(m.rozmY)},
            {"rozmZ", static_cast<double>(m.rozmZ)},
            {"plikMaterialu", m.plikMaterialu},
            {"gruboscPowloki", static_cast<double>(m.gruboscPowloki)},
            {"gruboscPodkladki", static_cast<double>(m.gruboscPodkladki)}};
}

Fields projectFields(const TProjektDane& p) {
    return {{"plikModelu", p.plikModelu},
            {"BMPwysBialego", static_cast<double>(p.BMPwysBialego)},
            {"BMPwysCzarnego", static_cast<double>(p.BMPwysCzarnego)},
            {"BMPx", static_cast<double>(p.BMPx)},
            {"BMPy", static_cast<double>(p.BMPy)}};
}

void addFields(Json& object, const Fields& fields) {
    for (const auto& field : fields)
        std::visit([&](const auto& value) { object[field.first] = value; }, field.second);
}

std::string fieldText(const FieldValue& value) {
    if (auto* s = std::get_if<std::string>(&value)) return *s;
    if (auto* d = std::get_if<double>(&value)) return formatReal(*d);
    if (auto* i = std::get_if<long long>(&value)) return std::to_string(*i);
    return std::get<bool>(value) ? "1" : "0";
}

} // namespace korvane::cli
