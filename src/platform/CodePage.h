#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Conversion between the program's UTF-8 texts and the single-byte (or GBK)
// code page of the interface language, in which tool, operation, project and
// settings files keep their texts.
namespace korvane {

// The code page of the interface language: PL, SK use windows-1250, RU
// windows-1251, SA windows-1256, CN GBK, every other language windows-1252.
std::string codePageForLanguage(std::string_view languageCode);

// The code page files are written in; set once the language is chosen.
void setAnsiCodePage(std::string codePage);

// UTF-8 to the code page; nullopt when some character has no equivalent there
// or the text is not valid UTF-8.
std::optional<std::string> toCodePage(std::string_view utf8, const std::string& codePage);
std::optional<std::string> toAnsi(std::string_view utf8);

// The code page to UTF-8; bytes that do not decode become U+FFFD.
std::string fromCodePage(std::string_view bytes, const std::string& codePage);
std::string fromAnsi(std::string_view bytes);

inline constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// A text as a file holds it: in the ANSI code page when every character is
// there, so that files stay as they always were; otherwise the byte-order mark
// and UTF-8, so that no character is lost. Code-page bytes that would begin
// with the mark are written as UTF-8 too, to read back as they were.
std::string toFileText(std::string_view utf8);
// The same for a field of `capacity` bytes: the longest start of the text, cut
// at a whole character, whose file form fits.
std::string toFileText(std::string_view utf8, std::size_t capacity);
// Either form back to UTF-8 (bytes that do not decode become U+FFFD).
std::string fromFileText(std::string_view bytes);

} // namespace korvane
