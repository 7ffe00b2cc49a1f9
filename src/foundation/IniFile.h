#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// An INI file with the semantics of the Windows profile functions: sections and
// keys match ignoring case, values are trimmed and lose one pair of surrounding
// quotes when read, a new key goes to the end of its section, a new section to
// the end of the file after an empty line, lines that are not "key=value" are
// kept as they are. Texts are UTF-8 in memory; on disk the file is in the ANSI
// code page, or in UTF-8 after a byte-order mark when it holds a character the
// code page lacks (see toFileText). Lines end with CR LF when written.
//
// The file is read once when the object is made; changes stay in memory until
// save(). A missing or unreadable file reads as empty.
class IniFile {
  public:
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    bool sectionExists(std::string_view section) const;
    bool valueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> sections() const;
    std::vector<std::string> keys(std::string_view section) const;

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    long long readInteger(std::string_view section, std::string_view key, long long fallback) const;
    double readFloat(std::string_view section, std::string_view key, double fallback) const;
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    // Line breaks in the value are written as spaces.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, long long value);
    void writeFloat(std::string_view section, std::string_view key, long double value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    void eraseSection(std::string_view section);

    // Writes the whole file; false on any file error.
    bool save() const;

    // The file's bytes as save() would write them.
    std::string text() const;

    // Files longer than this are not read (treated as empty).
    static constexpr std::uintmax_t maxFileSize = 64ull << 20;

  private:
    struct Line {
        std::string key; // empty for a line that is not "key=value"
        std::string value;
        std::string raw; // the whole line, for lines without a key
    };
    struct Section {
        std::string name; // empty for the lines before the first section
        std::vector<Line> lines;
    };

    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);
    const Line* findLine(std::string_view section, std::string_view key) const;

    std::filesystem::path path_;
    std::vector<Section> sections_;
};

} // namespace korvane
