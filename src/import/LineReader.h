#pragma once

#include "import/FileBytes.h"

#include <cstddef>
#include <memory>
#include <string_view>

// The lines of a text one after the other, each trimmed of spaces and control
// characters at both ends. Lines end at CR LF, LF or a lone CR; a line end at
// the very end adds no empty line. The text is either whole in memory or read
// from an open file in blocks, so that a large file is never held whole.
namespace korvane {

class LineReader {
  public:
    // Lines of `text`, which must outlive the reader.
    explicit LineReader(std::string_view text);
    // Lines of `start` (the bytes already read from `file`) followed by the
    // rest of `file`, read to its end in blocks of `blockSize` bytes (more for
    // a longer line); `file` must outlive the reader.
    LineReader(InputFile& file, std::string_view start, std::size_t blockSize = 256 * 1024);

    // The next line, valid until the following call; false past the last one.
    // Throws std::runtime_error when the file cannot be read.
    bool next(std::string_view& line);

  private:
    bool readMore();

    InputFile* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    bool afterCr_ = false; // the last line ended with CR: a LF next belongs to it
};

} // namespace korvane
