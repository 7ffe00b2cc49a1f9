#pragma once

#include <filesystem>
#include <string_view>

namespace korvane {

// Appends a UTF-8 text to a text file (created when missing) in the file's own
// form: UTF-8 when the file begins with the byte-order mark, else the ANSI code
// page. A text with a character the code page lacks turns the whole file into
// the mark and UTF-8 first, so nothing is lost. Writers of the same file, in
// this process or another, take turns under an exclusive lock: their texts
// never interleave and none is lost while the file changes form. False on a
// file error.
bool appendFileText(const std::filesystem::path& file, std::string_view utf8);

} // namespace korvane
