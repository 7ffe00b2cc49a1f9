#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Command-line options, matched without regard to case, over programArguments.
namespace korvane {

// A switch is present when one argument equals its text.
bool hasSwitch(std::string_view name);

// The value of an option written NAME='value' in one argument: the text between
// the apostrophes. A bare NAME=value carries no value (a shell strips unquoted
// apostrophes, so the word is quoted whole: "NAME='value'"). nullopt when no
// argument has that form.
std::optional<std::string> switchValue(std::string_view name);

// True when "95" is the first or the second argument: no USB link.
bool noUsbSwitch();

// "SurfacingPercent": p with "." or "," as separator, clamped to 1..5, as a
// fraction; nullopt when the option is absent or not a number.
std::optional<double> surfacingFractionOption();

} // namespace korvane
