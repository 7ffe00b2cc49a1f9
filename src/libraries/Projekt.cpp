#include "libraries/Projekt.h"

#include "foundation/IniFile.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"

#include <algorithm>

namespace korvane {

namespace {

void writeSections(IniFile& ini, const TProjektDane& p) {
    ini.writeString("Model", "plikModelu", p.plikModelu);
    if (isBitmapModel(p.plikModelu)) {
        ini.writeFloat("Model", "BMPwysokoscBialego", p.BMPwysBialego);
        ini.writeFloat("Model", "BMPwysokoscCzarnego", p.BMPwysCzarnego);
        ini.writeFloat("Model", "BMPx", p.BMPx);
        ini.writeFloat("Model", "BMPy", p.BMPy);
    }
    const TMaterial& m = p.material;
    ini.writeInteger("Material", "materialZrodlo", m.zrodlo);
    if (m.zrodlo == materialBlock) {
        ini.writeFloat("Material", "materialRozmiarX", m.rozmX);
        ini.writeFloat("Material", "materialRozmiarY", m.rozmY);
        ini.writeFloat("Material", "materialRozmiarZ", m.rozmZ);
    }
    if (m.zrodlo == materialCoating)
        ini.writeFloat("Material", "materialGruboscPowloki", m.gruboscPowloki);
    if (m.zrodlo == materialFile) ini.writeString("Material", "plikMaterialu", m.plikMaterialu);
    ini.writeFloat("Material", "materialGruboscPodkladki", m.gruboscPodkladki);
    for (std::size_t i = 0; i < p.lProcesu.size(); ++i)
        ini.writeString("Proces", "proces" + std::to_string(i), p.lProcesu[i]);
}

// Why the file's contents are no project; none when they are one.
std::optional<std::string> contentsProblem(const IniFile& ini) {
    if (!ini.sectionExists("Model") && !ini.sectionExists("Material"))
        return "it holds neither a [Model] nor a [Material] section";
    const long long source = ini.readInteger("Material", "materialZrodlo", 0);
    if (source < 0 || source > 255)
        return "its material source materialZrodlo=" + std::to_string(source) +
               " is not one of the program's";
    return std::nullopt;
}

auto findName(std::vector<std::string>& names, const std::string& name) {
    return std::find_if(names.begin(), names.end(),
                        [&](const std::string& n) { return sameText(n, name); });
}

} // namespace

bool isBitmapModel(const std::string& modelFile) {
    const std::string ext = lowerText(std::filesystem::path(modelFile).extension().string());
    return ext == ".bmp" || ext == ".jpg" || ext == ".jpeg";
}

TProjekt::TProjekt() {
    Nowy();
}

void TProjekt::Nowy() {
    d = TProjektDane{};
    takeCopy();
}

std::optional<std::string> projectFileProblem(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return std::nullopt;
    if (!std::filesystem::is_regular_file(file, ec)) return "it is not a file";
    return contentsProblem(IniFile(file));
}

bool TProjekt::PobierzZPliku(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    const IniFile ini(file);
    if (contentsProblem(ini)) return false;

    const long long source = ini.readInteger("Material", "materialZrodlo", 0);

    TProjektDane p = d;
    p.plikModelu = ini.readString("Model", "plikModelu", "");
    if (isBitmapModel(p.plikModelu)) {
        p.BMPwysBialego = ini.readFloat("Model", "BMPwysokoscBialego", 0);
        p.BMPwysCzarnego = ini.readFloat("Model", "BMPwysokoscCzarnego", 0);
        p.BMPx = ini.readFloat("Model", "BMPx", 0);
        p.BMPy = ini.readFloat("Model", "BMPy", 0);
    }
    TMaterial& m = p.material;
    m.zrodlo = static_cast<std::uint8_t>(source);
    m.rozmX = ini.readFloat("Material", "materialRozmiarX", 0);
    m.rozmY = ini.readFloat("Material", "materialRozmiarY", 0);
    m.rozmZ = ini.readFloat("Material", "materialRozmiarZ", 0);
    m.gruboscPowloki = ini.readFloat("Material", "materialGruboscPowloki", 0);
    m.plikMaterialu = ini.readString("Material", "plikMaterialu", "");
    m.gruboscPodkladki = ini.readFloat("Material", "materialGruboscPodkladki", 0);

    p.lProcesu.clear();
    for (std::size_t i = 0;; ++i) {
        const std::string key = "proces" + std::to_string(i);
        if (!ini.valueExists("Proces", key)) break;
        const std::string name = ini.readString("Proces", key, "");
        if (operationLibrary && operationLibrary->JestTakaOperacja(name, -1) &&
            findName(p.lProcesu, name) == p.lProcesu.end())
            p.lProcesu.push_back(name);
    }
    d = std::move(p);
    takeCopy();
    return true;
}

bool TProjekt::Zapisz(const std::filesystem::path& file) {
    if (file.empty()) return false;
    IniFile ini(file);
    for (const char* section : {"Model", "Material", "Proces"}) ini.eraseSection(section);
    writeSections(ini, d);
    if (!ini.save()) return false;
    takeCopy();
    return true;
}

bool TProjekt::DoZapisu() const {
    const TMaterial& a = d.material;
    const TMaterial& b = kopia.material;
    return d.plikModelu != kopia.plikModelu || d.BMPwysBialego != kopia.BMPwysBialego ||
           d.BMPwysCzarnego != kopia.BMPwysCzarnego || d.BMPx != kopia.BMPx ||
           d.BMPy != kopia.BMPy || a.zrodlo != b.zrodlo || a.rozmX != b.rozmX ||
           a.rozmY != b.rozmY || a.rozmZ != b.rozmZ || a.gruboscPowloki != b.gruboscPowloki ||
           a.plikMaterialu != b.plikMaterialu || a.gruboscPodkladki != b.gruboscPodkladki ||
           d.lProcesu != kopia.lProcesu;
}

void TProjekt::DodajDoProcesu(const std::string& operationName) {
    if (findName(d.lProcesu, operationName) == d.lProcesu.end())
        d.lProcesu.push_back(operationName);
}

void TProjekt::UsunZProcesu(const std::string& operationName) {
    if (auto it = findName(d.lProcesu, operationName); it != d.lProcesu.end()) d.lProcesu.erase(it);
}

} // namespace korvane
