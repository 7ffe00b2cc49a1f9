#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8, the encoding of every text the program holds in memory: decoding one
// character, cutting at whole characters, case folding.
namespace korvane {

inline constexpr char32_t replacementCharacter = U'\uFFFD';

struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 1; // bytes taken
    bool valid = false;     // false: a byte that starts no well-formed character
};

// The character at `pos` (inside the text). Overlong forms, surrogates, values
// above U+10FFFF and cut sequences are not well formed: they give one byte,
// not valid.
Utf8Char decodeUtf8(std::string_view text, std::size_t pos);

void appendUtf8(std::string& out, char32_t code);

// The text with every byte that starts no well-formed character replaced by U+FFFD.
std::string validUtf8(std::string_view bytes);

// The first `count` characters (a byte that is not well formed counts as one).
std::string_view firstCharacters(std::string_view text, std::size_t count);

// Upper, lower and title case of a letter fold to one form, in every script
// (the case data of the C library's C.UTF-8 locale; only ASCII folds without it).
char32_t foldCase(char32_t code);
// The text with every character folded; bytes that are not well formed stay.
std::string foldCase(std::string_view text);

} // namespace korvane
