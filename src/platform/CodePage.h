#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversion between the program's UTF-8 strings and the single-byte (or GBK)
// code page that tool names and INI files are stored in.
namespace korvane {

// The code page of the interface language: PL, SK use windows-1250, RU
// windows-1251, SA windows-1256, CN GBK, every other language windows-1252.
std::string codePageForLanguage(std::string_view languageCode);

// The code page files are written in; set once the language is chosen.
const std::string& ansiCodePage();
void setAnsiCodePage(std::string codePage);

// UTF-8 to the code page; nullopt when some character has no equivalent there
// or the text is not valid UTF-8.
std::optional<std::string> toCodePage(std::string_view utf8, const std::string& codePage);
std::optional<std::string> toAnsi(std::string_view utf8);

// The code page to UTF-8; bytes that do not decode become U+FFFD.
std::string fromCodePage(std::string_view bytes, const std::string& codePage);
std::string fromAnsi(std::string_view bytes);

} // namespace korvane
