#pragma once

#include <string>

namespace korvane {

// Appends v as "0.000": three decimals, "." whatever the locale; a value that
// rounds to zero is written without a sign. The numbers of the output files,
// their feeds files and the G-code export.
void appendOutputNumber(std::string& out, double v);

} // namespace korvane
