#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers in text files: always "." as the decimal separator, whatever the locale.
namespace korvane {

// The shortest text that keeps 15 significant digits: "0.3", "16000", "-2.5",
// "1E20", "1.5E-7" (scientific below 0.00001 and from 1E15 on).
std::string formatReal(long double value);

// A decimal number with "." as separator, surrounded by optional spaces;
// nullopt when the text is not entirely a number.
std::optional<double> parseReal(std::string_view text);

// A decimal integer (optional sign, optional spaces around), or a hexadecimal
// one written "$1F" or "0x1F"; nullopt otherwise or when it does not fit.
std::optional<long long> parseInteger(std::string_view text);

std::string_view trimSpaces(std::string_view text);

} // namespace korvane
