#include "libraries/Frezy.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryFile.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

namespace korvane {

namespace {

constexpr std::size_t idLength = 38;
constexpr std::size_t nameLength = 64;

template <typename T> void put(std::uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof value); // little-endian, as is the host
}

template <typename T> T get(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// A ShortString: length byte and the text as a file holds it (the ANSI code
// page, or the byte-order mark and UTF-8), cut at a whole character when it
// does not fit.
void putShortString(std::uint8_t* at, std::size_t capacity, const std::string& text) {
    const std::string bytes = toFileText(text, capacity);
    at[0] = static_cast<std::uint8_t>(bytes.size());
    std::memcpy(at + 1, bytes.data(), bytes.size());
}

std::string getShortString(const std::uint8_t* at, std::size_t capacity) {
    const std::size_t length = std::min<std::size_t>(at[0], capacity);
    return fromFileText(std::string_view(reinterpret_cast<const char*>(at + 1), length));
}

std::optional<std::int32_t> narrowType(std::int64_t typ) {
    if (typ < std::numeric_limits<std::int32_t>::min() ||
        typ > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(typ);
}

std::optional<std::string> readWholeFile(const std::filesystem::path& file, std::size_t size) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(in.gcount()) != size) return std::nullopt;
    return bytes;
}

void showImportError(const std::filesystem::path& file) {
    showMessage(txt("Tools_dialog", "bladImportuFrezu") + " : " + file.string(), true);
}

// The file of a tool in `folder`, named after the name as the record holds it.
std::filesystem::path toolFileIn(const std::filesystem::path& folder, std::string_view name) {
    return folder / (fromFileText(toFileText(name, nameLength)) + "." + toolExtension);
}

} // namespace

ToolFileBytes encodeTool(const TFrezDane& t) {
    ToolFileBytes b{};
    putShortString(&b[0], idLength, t.id);
    putShortString(&b[39], nameLength, t.nazwa);
    put<std::int32_t>(&b[104], t.typ);
    put<double>(&b[108], t.d1);
    put<double>(&b[116], t.d2);
    put<double>(&b[124], t.d3);
    put<double>(&b[132], t.h);
    put<double>(&b[140], t.hc);
    return b;
}

TFrezDane decodeTool(const ToolFileBytes& b) {
    TFrezDane t;
    t.id = getShortString(&b[0], idLength);
    t.nazwa = getShortString(&b[39], nameLength);
    t.typ = get<std::int32_t>(&b[104]);
    t.d1 = get<double>(&b[108]);
    t.d2 = get<double>(&b[116]);
    t.d3 = get<double>(&b[124]);
    t.h = get<double>(&b[132]);
    t.hc = get<double>(&b[140]);
    return t;
}

std::optional<TFrezDane> decodeLegacyTool(std::string_view bytes) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
    TFrezDane t;
    if (bytes.size() == legacyToolFileSizeA) {
        auto typ = narrowType(get<std::int64_t>(b + 104));
        if (!typ) return std::nullopt;
        t.id = getShortString(b, idLength);
        t.nazwa = getShortString(b + 39, nameLength);
        t.typ = *typ;
        t.d1 = get<double>(b + 112);
        t.d2 = get<double>(b + 120);
        t.d3 = get<double>(b + 128);
        t.h = get<double>(b + 136);
        t.hc = get<double>(b + 144);
        return t;
    }
    if (bytes.size() == legacyToolFileSizeB) {
        auto typ = narrowType(get<std::int64_t>(b + 68));
        if (!typ) return std::nullopt;
        t.nazwa = getShortString(b, nameLength);
        t.typ = *typ;
        t.d1 = get<double>(b + 76);
        t.d2 = get<double>(b + 84);
        t.h = get<double>(b + 92);
        t.id = getShortString(b + 100, idLength);
        t.d3 = t.typ == toolConical ? t.d2 : t.d1;
        t.hc = t.h;
        return t;
    }
    return std::nullopt;
}

std::filesystem::path toolsFolder() {
    return dataFolder / "Tools";
}

std::filesystem::path toolFile(const std::string& name) {
    return toolFileIn(toolsFolder(), name);
}

bool saveToolFile(const std::filesystem::path& file, const TFrezDane& tool) {
    const ToolFileBytes bytes = encodeTool(tool);
    return writeFileAtomically(
        file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool writeDefaultTools(const std::filesystem::path& folder) {
    const bool polish = texts && texts->skrotJez == "PL";
    struct Row {
        const char* id;
        const char* name;
        const char* namePL;
        std::int32_t typ;
        double d1, d2, d3, h, hc;
    };
    static const Row rows[] = {
        {"{4A2B4D7F-05FC-4C1A-A051-BC8CB8EDEC47}", "EndSloting6", "Palcowy6", toolEndMill, 6, 0, 6,
         30, 60},
        {"{861D0790-2C4A-474D-8C8F-6EE95A74ACA7}", "Ball2", "Kulowy2", toolBallNose, 2, 0, 6.5, 2,
         60},
        {"{7F0E47C7-6097-46F0-9034-F741CF02E737}", "Ball3", "Kulowy3", toolBallNose, 3, 0, 5, 3,
         10},
        {"{091B7CA7-59A0-4CF5-B281-7DC328BBEA71}", "Conical2", "Stożkowy2", toolConical, 2, 4, 4, 5,
         60},
    };
    bool ok = true;
    for (const Row& r : rows) {
        const TFrezDane t{r.id, polish ? r.namePL : r.name, r.typ, r.d1, r.d2, r.d3, r.h, r.hc};
        ok = saveToolFile(toolFileIn(folder, t.nazwa), t) && ok;
    }
    return ok;
}

TFrezy::TFrezy() {
    LadujListe();
}

void TFrezy::LadujListe() {
    UsunWszystkieElListy();
    for (const auto& file : libraryFiles(toolsFolder(), toolExtension)) {
        TFrezDane tool;
        if (PobierzDaneFrezuZpliku(file, tool))
            Lista.push_back(std::make_unique<TFrezDane>(std::move(tool)));
    }
    Sortuj();
}

bool TFrezy::PobierzDaneFrezuZpliku(const std::filesystem::path& file, TFrezDane& tool) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        showMessage(txt("Other", "OdwolanieDoNieistniejacegoPliku") + "\n\r" + file.string(), true);
        return false;
    }
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) return false;
    if (size == toolFileSize) {
        auto bytes = readWholeFile(file, toolFileSize);
        if (!bytes) {
            showImportError(file);
            return false;
        }
        ToolFileBytes record;
        std::memcpy(record.data(), bytes->data(), toolFileSize);
        tool = decodeTool(record);
        return true;
    }
    if (size != legacyToolFileSizeA && size != legacyToolFileSizeB) return false;

    auto bytes = readWholeFile(file, static_cast<std::size_t>(size));
    auto converted = bytes ? decodeLegacyTool(*bytes) : std::nullopt;
    if (!converted) {
        showImportError(file);
        return false;
    }
    tool = *converted;
    // The new record replaces the old one in a single rename: a failed write
    // leaves the old file, which is converted again at the next load.
    saveToolFile(file, tool);
    return true;
}

void TFrezy::Sortuj() {
    // NaN diameters (a damaged file) sort last instead of breaking the order.
    std::stable_sort(Lista.begin(), Lista.end(), [](const auto& a, const auto& b) {
        if (std::isnan(a->d1)) return false;
        return std::isnan(b->d1) || a->d1 < b->d1;
    });
}

void TFrezy::UsunFrezZListy(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < Lista.size())
        Lista.erase(Lista.begin() + index);
}

void TFrezy::UsunWszystkieElListy() {
    while (!Lista.empty()) Lista.pop_back();
}

bool TFrezy::JestTakiFrez(std::string_view name, int index) const {
    for (std::size_t i = 0; i < Lista.size(); ++i)
        if (static_cast<int>(i) != index && sameText(Lista[i]->nazwa, name)) return true;
    return false;
}

bool TFrezy::JestTakiFrez_2(std::string_view id) const {
    return std::any_of(Lista.begin(), Lista.end(), [&](const auto& t) { return t->id == id; });
}

int TFrezy::dajIndxFrezuNaLiscie(std::string_view id) const {
    for (std::size_t i = 0; i < Lista.size(); ++i)
        if (sameText(Lista[i]->id, id)) return static_cast<int>(i);
    return -1;
}

double TFrezy::dajSredniceFrezaNaPodstId(std::string_view id) const {
    const int i = dajIndxFrezuNaLiscie(id);
    return i < 0 ? 0 : Lista[static_cast<std::size_t>(i)]->d1;
}

std::string TFrezy::dajOpisFrezaNaPodstIndeksu(int index, bool withName) const {
    if (index < 0 || static_cast<std::size_t>(index) >= Lista.size()) return {};
    const TFrezDane& t = *Lista[static_cast<std::size_t>(index)];
    std::string text;
    if (withName) text = t.nazwa + ": ";
    if (t.typ >= 0 && static_cast<std::size_t>(t.typ) < toolTypeNames.size())
        text += toolTypeNames[static_cast<std::size_t>(t.typ)];
    text += "\n\rd1 = " + formatReal(t.d1);
    if (t.typ == toolConical) text += "   d2 = " + formatReal(t.d2);
    text += "   h  = " + formatReal(t.h);
    return text;
}

std::string TFrezy::dajOpisFrezaNaPodstId(std::string_view id, bool withName) const {
    return dajOpisFrezaNaPodstIndeksu(dajIndxFrezuNaLiscie(id), withName);
}

} // namespace korvane
