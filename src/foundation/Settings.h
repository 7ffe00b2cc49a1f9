#pragma once

#include <array>
#include <cstdint>
#include <string>

// The settings record and its binary file "Konfig.cfg".
namespace korvane {

struct TUstawienia {
    std::int32_t jednostkaMiary = 0;       // index into unitTable
    std::string plikProjektu;              // path of the current project file
    double rozdzielczosc = 0;              // raster cells per millimetre
    std::int32_t modelKolor = 0;           // 0x00BBGGRR; 0 is shown green
    std::uint8_t modelSposobKreslenia = 0; // 0 filled, 1 contour, 2 points
    double modelPolysk = 0;                // 0, 0.5 or 1.0
    bool ukladWsp = false;                 // coordinate axes shown
    // The output preview without the model under the paths, without the
    // material's outline; kept in padding bytes that older files hold as 0.
    bool podgladBezModelu = false;
    bool podgladBezMaterialu = false;
    double plytkaPomGrubosc = 0;                  // measuring plate thickness, mm
    std::uint8_t plytkaPomPolozenie = 0;          // 0 table, 1 pad, 2 material
    std::array<std::uint8_t, 28> zarezerwowane{}; // kept as read
    bool powiadomKoniecGenWy = false;
    bool powiadomKoniecObrobki = false;
    std::string netSendOdbiorca;           // computer that receives notifications
    bool sprzegNawigacyjny = false;        // coupled views
    std::array<std::uint8_t, 4> adresIP{}; // first octet first
    bool ethernetConnection = false;
    bool printer3D = false;
};

inline constexpr std::size_t settingsFileSize = 368;
inline constexpr std::size_t oldSettingsFileSize = 376;
inline constexpr const char* settingsFileName = "Konfig.cfg";

using SettingsBytes = std::array<std::uint8_t, settingsFileSize>;

// The 368-byte record, little-endian, texts as files hold them (the ANSI code
// page, or the byte-order mark and UTF-8 for a text with a character the code
// page lacks). A text longer than its field (255 bytes for the project path) is
// stored empty rather than as a different path.
SettingsBytes encodeSettings(const TUstawienia& s);
TUstawienia decodeSettings(const SettingsBytes& bytes);

// Carries the fields of the older 376-byte record into `s`; the fields that the
// older record does not carry keep their values.
void decodeOldSettings(const std::array<std::uint8_t, oldSettingsFileSize>& bytes, TUstawienia& s);

// The defaults; view fields and printer3D keep their values.
void applySettingsDefaults(TUstawienia& s);

// Fills `settings` from dataFolder/Konfig.cfg (converting an older file).
void readSettings();
// Writes `settings` to dataFolder/Konfig.cfg; false on any file error.
bool writeSettings();

} // namespace korvane
