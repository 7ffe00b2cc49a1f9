#include "foundation/Interfejs.h"

#include "foundation/CommandLine.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "foundation/Version.h"
#include "platform/CodePage.h"
#include "platform/Locale.h"

#include <strings.h>

namespace korvane {

namespace {

struct LanguageSwitch {
    const char* name;
    const char* code;
    int country;
};

// In the order they are applied: when several are given, the last one here wins.
constexpr LanguageSwitch languageSwitches[] = {
    {"USA", "US", 1},  {"US", "US", 1},     {"POLSKA", "PL", 48},  {"PL", "PL", 48},
    {"RU", "RU", 7},   {"CN", "CN", 86},    {"SK", "SK", 421},     {"ITALY", "IT", 39},
    {"IT", "IT", 39},  {"SPAIN", "ES", 34}, {"ESPANOL", "ES", 34}, {"ES", "ES", 34},
    {"SA", "SA", 966}, {"TW", "US", 886},   {"FR", "FR", 33},
};

} // namespace

LanguageChoice chooseLanguage(int systemCountry) {
    LanguageChoice c;
    c.country = systemCountry;
    switch (systemCountry) {
    case 7:
        c.skrotJez = "RU";
        break;
    case 33:
        c.skrotJez = "FR";
        break;
    case 48:
        c.skrotJez = "PL";
        break;
    case 86:
        c.skrotJez = "CN";
        break;
    case 421:
        c.skrotJez = "SK";
        break;
    default:
        c.skrotJez = "US";
        break;
    }
    for (const LanguageSwitch& s : languageSwitches)
        if (hasSwitch(s.name)) {
            c.skrotJez = s.code;
            c.country = s.country;
        }
    return c;
}

std::filesystem::path tInterfejs::languageFile(std::string_view code) {
    return exeFolder / "Language" /
           (std::string(applicationTitle) + "_" + std::string(code) + ".xml");
}

tInterfejs::tInterfejs() : tInterfejs(systemCountryCode()) {}

tInterfejs::tInterfejs(int systemCountry) {
    LanguageChoice choice = chooseLanguage(systemCountry);
    skrotJez = choice.skrotJez;
    country = choice.country;
    setAnsiCodePage(codePageForLanguage(skrotJez));
    langOk = load();
}

bool tInterfejs::load() {
    const char* title = "Configuration error";
    fileName = languageFile(skrotJez);
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec)) fileName = languageFile("US");
    if (!std::filesystem::exists(fileName, ec)) {
        showMessage("Application could't work without file: \r\n" + fileName.string(), true, title);
        return false;
    }
    pugi::xml_parse_result parsed = document_.load_file(fileName.c_str());
    wInterfejs = document_.document_element();
    if (!parsed || !wInterfejs) {
        showMessage("Corruption detected in file: \r\n" + fileName.string(), true, title);
        return false;
    }
    pugi::xml_attribute name = wInterfejs.attribute("name");
    pugi::xml_attribute version = wInterfejs.attribute("version");
    if (std::string_view(wInterfejs.name()) != "interface" || !name || !version) {
        showMessage("Invalid file structure: \r\n" + fileName.string(), true, title);
        return false;
    }
    if (strcasecmp(name.value(), applicationTitle) != 0 ||
        std::string_view(version.value()) != versionMajorMinor) {
        showMessage("Incompatibile file version: \r\n" + fileName.string(), true, title);
        return false;
    }
    return true;
}

std::string tInterfejs::dajTxt(std::string_view wezel, std::string_view nzw) const {
    pugi::xml_node section = wInterfejs.child(std::string(wezel).c_str());
    pugi::xml_node text = section.child(std::string(nzw).c_str());
    pugi::xml_attribute str = text.attribute("str");
    if (!str) return "error";
    return str.value();
}

void tInterfejs::loadOperationTypes() const {
    operationTypes.clear();
    for (pugi::xml_node row : wInterfejs.child("Operations").children()) {
        if (row.type() != pugi::node_element) continue;
        operationTypes.push_back(rTypOperacji{row.attribute("id").as_int(),
                                              row.attribute("str").value(),
                                              row.attribute("parametr").value()});
    }
}

void tInterfejs::loadUnits() const {
    size_t i = 0;
    for (pugi::xml_node row : wInterfejs.child("Measures").children()) {
        if (row.type() != pugi::node_element) continue;
        if (i == unitTable.size()) break;
        unitTable[i++] = rJednMiar{row.attribute("str").value(), row.attribute("opis").value()};
    }
}

std::string txt(std::string_view section, std::string_view key) {
    return texts ? texts->dajTxt(section, key) : std::string("error");
}

} // namespace korvane
