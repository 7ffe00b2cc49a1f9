#pragma once

#include <string>

namespace korvane {

// A new random identifier in the form "{4A2B4D7F-05FC-4C1A-A051-BC8CB8EDEC47}":
// 38 characters, capital hexadecimal digits, version 4.
std::string newGuid();

} // namespace korvane
