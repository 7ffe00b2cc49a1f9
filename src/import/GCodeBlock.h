#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of a G-code program split into its words: comments, spaces, the
// line number and "%" lines taken away, letters in upper case.
namespace korvane {

struct GCodeBlock {
    int lineNumber = 0;
    std::string line; // the line as read, for messages

    std::vector<int> g; // G codes times ten: G1 is 10, G90.1 is 901
    std::vector<int> m;
    // The value of every other letter the block holds, by letter.
    std::array<std::optional<double>, 26> value;
    std::array<std::string, 26> text; // each such word as written, for messages
    std::vector<std::string> gText, mText;
    bool percent = false; // a "%" line

    const std::optional<double>& operator[](char letter) const { return value[letter - 'A']; }
    bool has(char letter) const { return value[letter - 'A'].has_value(); }
    // No word at all: blank, comments only, or deleted.
    bool empty() const;
    bool hasG(int code) const;
    bool hasM(int code) const;
    // The word of the code, as written ("G41").
    std::string gWord(int code) const;
    std::string mWord(int code) const;
};

// Splits one line (without its line end) into `block`. A deleted block ("/"
// first) and a line of comments only leave it empty. Throws GCodeRefusal for a
// comment left open, a word without a number, an expression, an o-word or a
// letter given twice.
void lexGCodeLine(std::string_view line, int lineNumber, GCodeBlock& block);

} // namespace korvane
