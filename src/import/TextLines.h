#pragma once

#include <string_view>

// Lines of a text file held in memory.
namespace korvane {

// Removes leading and trailing spaces and control characters.
std::string_view trimControl(std::string_view text);

// Calls `onLine` for each line of `text`, split at CR LF, LF or a lone CR; a
// line end at the very end adds no empty line.
template <class F> void forEachLine(std::string_view text, F&& onLine) {
    size_t start = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') continue;
        onLine(text.substr(start, i - start));
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) onLine(text.substr(start));
}

// True when `text` begins with `prefix` (upper-case ASCII), ignoring case.
bool startsWithNoCase(std::string_view text, std::string_view prefix);

} // namespace korvane
