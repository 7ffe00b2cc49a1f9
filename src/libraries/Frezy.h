#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The tool library: one binary file per tool in dataFolder/Tools, loaded into a
// list kept sorted by cutting diameter.
namespace korvane {

// Tool types (TFrezDane::typ).
enum : std::int32_t {
    toolEndMill = 0,  // flat, cylindrical
    toolBallNose = 1, // ball-nose
    toolConical = 2,  // conical
};

struct TFrezDane {
    std::string id;    // "{GUID}", 38 characters, never changed
    std::string nazwa; // name, unique ignoring case; also the file name
    std::int32_t typ = toolEndMill;
    double d1 = 0; // cutting diameter at the tip, mm
    double d2 = 0; // conical tools: diameter at height h, mm; else 0
    double d3 = 0; // shank diameter, mm
    double h = 0;  // length of the cutting part, mm
    double hc = 0; // length from the tip where the shank diameter is reached, mm
};

inline constexpr std::size_t toolFileSize = 148;
inline constexpr std::size_t legacyToolFileSizeA = 152;
inline constexpr std::size_t legacyToolFileSizeB = 140;
inline constexpr const char* toolExtension = "tol";

using ToolFileBytes = std::array<std::uint8_t, toolFileSize>;

// The 148-byte record: id and name as ShortStrings (the unused bytes after a
// text are zero), typ as int32, five doubles, little-endian. A ShortString holds
// its text in the ANSI code page, or, when the text has a character the code
// page lacks, the byte-order mark and UTF-8; a text longer than its field is cut
// at a whole character.
ToolFileBytes encodeTool(const TFrezDane& tool);
TFrezDane decodeTool(const ToolFileBytes& bytes);

// The two older layouts (152 and 140 bytes); nullopt when typ does not fit 32 bits.
std::optional<TFrezDane> decodeLegacyTool(std::string_view bytes);

// dataFolder/Tools and the file of a tool by name there. The file is named
// after the name as the record holds it (cut to its field), so that the
// record's name and the file name never differ.
std::filesystem::path toolsFolder();
std::filesystem::path toolFile(const std::string& name);

// Writes the 148-byte file; false on a file error.
bool saveToolFile(const std::filesystem::path& file, const TFrezDane& tool);

// The four default tools, named in the interface language, into `folder`;
// false when one of them could not be written.
bool writeDefaultTools(const std::filesystem::path& folder);

class TFrezy {
  public:
    // Loads every tool file of the Tools folder.
    TFrezy();

    // Empties the list and reads every "*.tol" file (in file-name order), then sorts.
    void LadujListe();
    // Reads one tool file, converting the older layouts on disk; false when the
    // file was not a readable tool (the reason has been shown where there is one).
    static bool PobierzDaneFrezuZpliku(const std::filesystem::path& file, TFrezDane& tool);
    // By d1 ascending; equal diameters keep their relative order.
    void Sortuj();
    // Removes the record only; the file stays.
    void UsunFrezZListy(int index);
    void UsunWszystkieElListy();

    // A tool other than the one at `index` (-1: any) has this name, ignoring case.
    bool JestTakiFrez(std::string_view name, int index) const;
    // A tool has exactly this id.
    bool JestTakiFrez_2(std::string_view id) const;
    // The first tool whose id equals `id` ignoring case; -1 when none.
    int dajIndxFrezuNaLiscie(std::string_view id) const;
    // d1 of the tool with this id; 0 when none.
    double dajSredniceFrezaNaPodstId(std::string_view id) const;
    // "name: " (with the name), the type name, "\n\r", "d1 = ..." [, "   d2 = ..."],
    // "   h  = ..."; empty for an index outside the list.
    std::string dajOpisFrezaNaPodstIndeksu(int index, bool withName) const;
    std::string dajOpisFrezaNaPodstId(std::string_view id, bool withName) const;

    // Records in library order; each is allocated on its own so that list
    // entries may point at them.
    std::vector<std::unique_ptr<TFrezDane>> Lista;
};

} // namespace korvane
