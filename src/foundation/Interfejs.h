#pragma once

#include <pugixml.hpp>

#include <filesystem>
#include <string>
#include <string_view>

// The text catalogue: every caption, hint and message of the program looked up by
// section and key in the XML language file chosen at start.
namespace korvane {

struct LanguageChoice {
    std::string skrotJez; // "US", "PL", "RU", "CN", "SK", "IT", "ES", "SA" or "FR"
    int country = 1;      // telephone code of the interface language
};

// The language for a system country code and the language switches among the
// program arguments (the last switch in table order wins).
LanguageChoice chooseLanguage(int systemCountry);

class tInterfejs {
  public:
    // Chooses the language from the system's country and the switches, loads and
    // checks the file; problems are shown as messages and leave langOk false.
    tInterfejs();
    explicit tInterfejs(int systemCountry);

    // The "str" attribute of element `nzw` in section `wezel`; "error" when missing.
    std::string dajTxt(std::string_view wezel, std::string_view nzw) const;

    // Fill operationTypes and unitTable from the "Operations" and "Measures" sections.
    void loadOperationTypes() const;
    void loadUnits() const;

    // The language file for a code: <exe>/Language/Korvane3D_<code>.xml.
    static std::filesystem::path languageFile(std::string_view code);

    pugi::xml_node wInterfejs; // root of the loaded file
    bool langOk = false;
    int country = 1;
    bool arabski = false; // right-to-left interface, set by the main window
    std::string skrotJez;
    std::filesystem::path fileName; // the file in use

  private:
    bool load();
    pugi::xml_document document_;
};

inline constexpr const char* applicationTitle = "Korvane3D";

// Shortcut for texts->dajTxt.
std::string txt(std::string_view section, std::string_view key);

} // namespace korvane
