#pragma once

#include "geometry/ProgramFeeds.h"
#include "libraries/Operacje.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The feeds file beside the output path file of a program read from another
// CAM system ("<name>.feeds"): the program's feeds and spindle speeds per
// figure. It names the output file's contents by their hash, so that an output
// file written again by anything else never runs at feeds not its own.
//
//   "Korvane3D program feeds"
//   "Output=" the FNV-1a hash of the output file's bytes, 16 hex digits
//   per figure: "Figure=" approach height, plunge feed, spindle speed, points
//   then lines "feed count": the feed of the next `count` moves (the moves into
//   the points after the first)
// Numbers with three decimals, lines ended by CR LF.
namespace korvane {

inline constexpr const char* feedsExtension = "feeds";

// The feeds file of an output file: its name with the extension "feeds".
std::filesystem::path feedsFilePath(const std::filesystem::path& outputFile);

// The hash that names an output file's contents, taken a part at a time.
class OutputHash {
  public:
    void add(std::string_view bytes);
    std::string text() const; // 16 hex digits
  private:
    std::uint64_t h_ = 14695981039346656037ull;
};

std::string feedsFileText(const ProgramFeeds& feeds, const OutputHash& output);

// Writes the feeds file of the output file hashed as `output`, whole or not
// at all; throws std::runtime_error when it cannot be written.
void writeFeedsFile(const std::filesystem::path& file, const ProgramFeeds& feeds,
                    const OutputHash& output);

// The feeds of the output file `outputFile` as it is now; none when there is no
// feeds file, it is malformed, or it was written for other contents.
std::optional<ProgramFeeds> readFeedsFile(const std::filesystem::path& outputFile);

// The operation a program runs as: its name, the first feed it cuts at, the
// first plunge, the first spindle speed, no approach allowance (the program's
// own approach heights are used) and no rapid speed (the machine's fastest).
TOperacjaDane programOperation(const std::string& name, const ProgramFeeds& feeds);

} // namespace korvane
