#pragma once

#include <string>
#include <string_view>

// Comparing names of tools, operations and projects the way the user sees them:
// letters of any script match regardless of case ("Stożkowy" and "STOŻKOWY").
namespace korvane {

// The text with every letter in lower case (UTF-8 in and out; invalid bytes kept).
std::string lowerText(std::string_view utf8);

bool sameText(std::string_view a, std::string_view b);

// <0, 0, >0 like strcmp, over the lower-case texts.
int compareText(std::string_view a, std::string_view b);

} // namespace korvane
