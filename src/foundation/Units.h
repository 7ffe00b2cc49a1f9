#pragma once

#include <array>
#include <string>

// Units of measure in which lengths are shown. Lengths are kept in millimetres;
// only the numeric edit fields convert.
namespace korvane {

struct rJednMiar {
    std::string skrot; // abbreviation shown beside fields
    std::string opis;  // full name
};

enum : int { unitMillimetre = 0, unitInch = 1, unitFoot = 2 };

// Millimetres per unit.
double unitFactor(int unit);
// Decimals shown in that unit.
int unitDecimals(int unit);

} // namespace korvane
