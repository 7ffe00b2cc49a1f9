#pragma once

#include "import/FileBytes.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// A DXF file read into its group pairs (code line, value line), both trimmed.
namespace korvane {

struct TDXFCommand {
    std::string_view Code;
    std::string_view Value;
    bool is(std::string_view code, std::string_view value) const {
        return Code == code && Value == value;
    }
};

enum : int {
    dxfStatusGood = 0,
    dxfStatusPastEnd = -1, // a pair beyond the last one was asked for
    dxfStatusNoFile = 64,  // the file could not be opened
};

class TDxfReader {
  public:
    // Reads every pair of the file; status 64 when it cannot be read.
    explicit TDxfReader(const std::filesystem::path& strFileName);
    // Reads the pairs of a file already in memory; `text` must outlive the reader.
    static TDxfReader fromText(std::string_view text);

    // The next pair; false (status -1, `cmd` unchanged) past the last one.
    bool GetCmd(TDXFCommand& cmd);
    // Moves to pair `intPos` and copies it, with the same test.
    bool GetCmd(int intPos, TDXFCommand& cmd);

    int status() const { return fStatus; }
    int position() const { return intCurPos; }
    int count() const { return static_cast<int>(lstCmd.size()); }

  private:
    TDxfReader() = default;
    void readPairs(std::string_view text);

    int fStatus = dxfStatusGood;
    int intCurPos = -1;
    std::optional<FileBytes> file;
    std::vector<TDXFCommand> lstCmd;
};

} // namespace korvane
