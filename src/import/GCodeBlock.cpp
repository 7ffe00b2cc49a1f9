#include "import/GCodeBlock.h"

#include "import/GCodeRefusal.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace korvane {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\n';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The word starting at `at` of the cleaned text, up to the next letter.
std::string wordAt(const std::string& clean, std::size_t at) {
    std::size_t end = at + 1;
    while (end < clean.size() && !(clean[end] >= 'A' && clean[end] <= 'Z')) ++end;
    return clean.substr(at, end - at);
}

// The code of a G or M number: ten times it when it has one decimal at most.
std::optional<int> codeOf(double v) {
    const double tenfold = v * 10;
    const double rounded = std::round(tenfold);
    if (std::fabs(tenfold - rounded) > 1e-6 || rounded < 0 || rounded > 100000) return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace

bool GCodeBlock::empty() const {
    return g.empty() && m.empty() &&
           std::none_of(value.begin(), value.end(), [](const auto& v) { return v.has_value(); });
}

bool GCodeBlock::hasG(int code) const {
    return std::find(g.begin(), g.end(), code) != g.end();
}

bool GCodeBlock::hasM(int code) const {
    return std::find(m.begin(), m.end(), code) != m.end();
}

std::string GCodeBlock::gWord(int code) const {
    const auto it = std::find(g.begin(), g.end(), code);
    return it == g.end() ? std::string() : gText[static_cast<std::size_t>(it - g.begin())];
}

std::string GCodeBlock::mWord(int code) const {
    const auto it = std::find(m.begin(), m.end(), code);
    return it == m.end() ? std::string() : mText[static_cast<std::size_t>(it - m.begin())];
}

void lexGCodeLine(std::string_view line, int lineNumber, GCodeBlock& block) {
    block.lineNumber = lineNumber;
    block.line.assign(line);
    block.g.clear();
    block.m.clear();
    block.gText.clear();
    block.mText.clear();
    block.value.fill(std::nullopt);
    block.percent = false;
    auto refuse = [&](GCodeProblem problem, std::string word) {
        throw GCodeRefusal(problem, lineNumber, block.line, std::move(word));
    };

    std::size_t first = 0;
    while (first < line.size() && isSpace(line[first])) ++first;
    if (first < line.size() && line[first] == '/') return; // block delete

    // The line without spaces and comments, in upper case.
    std::string clean;
    clean.reserve(line.size());
    for (std::size_t i = first; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ';') break;
        if (c == '(') {
            const std::size_t close = line.find(')', i + 1);
            const std::size_t inner = line.find('(', i + 1);
            if (close == std::string_view::npos || inner < close)
                refuse(GCodeProblem::comment, std::string(line.substr(i)));
            i = close;
            continue;
        }
        if (!isSpace(c)) clean += upper(c);
    }
    if (clean == "%") {
        block.percent = true;
        return;
    }

    std::size_t at = 0;
    while (at < clean.size()) {
        const char letter = clean[at];
        if (letter == '#' || letter == '[') refuse(GCodeProblem::expression, wordAt(clean, at));
        if (letter < 'A' || letter > 'Z') refuse(GCodeProblem::unknownWord, wordAt(clean, at));
        const std::string word = wordAt(clean, at);
        if (letter == 'O') refuse(GCodeProblem::subroutine, word);
        std::size_t p = at + 1;
        if (p < clean.size() && (clean[p] == '#' || clean[p] == '['))
            refuse(GCodeProblem::expression, word);
        // [+-] digits [. digits], at least one digit.
        std::size_t end = p;
        if (end < clean.size() && (clean[end] == '+' || clean[end] == '-')) ++end;
        std::size_t digits = 0;
        while (end < clean.size() && isDigit(clean[end])) ++end, ++digits;
        if (end < clean.size() && clean[end] == '.') {
            ++end;
            while (end < clean.size() && isDigit(clean[end])) ++end, ++digits;
        }
        if (digits == 0 || (end < clean.size() && !(clean[end] >= 'A' && clean[end] <= 'Z')))
            refuse(GCodeProblem::badNumber, word);
        const char* from = clean.data() + p + (clean[p] == '+' ? 1 : 0);
        double v = 0;
        const auto r = std::from_chars(from, clean.data() + end, v);
        if (r.ec != std::errc() || r.ptr != clean.data() + end || !std::isfinite(v))
            refuse(GCodeProblem::badNumber, word);
        at = end;

        if (letter == 'N') continue;
        if (letter == 'G' || letter == 'M') {
            const auto code = codeOf(v);
            if (!code) refuse(GCodeProblem::unknownWord, word);
            (letter == 'G' ? block.g : block.m).push_back(*code);
            (letter == 'G' ? block.gText : block.mText).push_back(word);
            continue;
        }
        auto& slot = block.value[static_cast<std::size_t>(letter - 'A')];
        if (slot) refuse(GCodeProblem::twiceInBlock, word);
        slot = v;
        block.text[static_cast<std::size_t>(letter - 'A')] = word;
    }
}

} // namespace korvane
