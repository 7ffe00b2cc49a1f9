#pragma once

#include <string>
#include <string_view>

// Comparing names of tools, operations and projects the way the user sees them:
// letters of any script match regardless of case ("Stożkowy" and "STOŻKOWY",
// "Écrou" and "écrou", "Фреза" and "ФРЕЗА").
namespace korvane {

// The text with every letter case-folded (UTF-8 in and out; invalid bytes kept).
std::string lowerText(std::string_view utf8);

bool sameText(std::string_view a, std::string_view b);

// <0, 0, >0 like strcmp, over the case-folded texts (by code point).
int compareText(std::string_view a, std::string_view b);

} // namespace korvane
