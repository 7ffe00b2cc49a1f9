#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Command-line options, matched without regard to case, over programArguments.
namespace korvane {

// A switch is present when one argument equals its text.
bool hasSwitch(std::string_view name);

// The value of an option written NAME='value' (or NAME=value, as a shell leaves
// it after removing the quotes): the text after "NAME=", without one pair of
// enclosing apostrophes. nullopt when no argument starts with "NAME=".
std::optional<std::string> switchValue(std::string_view name);

// True when "95" is the first or the second argument: no USB link.
bool noUsbSwitch();

// "SurfacingPercent": p with "." or "," as separator, clamped to 1..5, as a
// fraction; nullopt when the option is absent or not a number.
std::optional<double> surfacingFractionOption();

} // namespace korvane
