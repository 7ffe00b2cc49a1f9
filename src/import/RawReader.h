#pragma once

#include <array>
#include <string_view>

// The RAW point file: one triangle (9 numbers) or one quad (12 numbers) per
// line, separated by single spaces, in the settings' unit of measure. The STL
// and DXF converters deliver the same import records.
namespace korvane {

struct TPoint3D {
    float x = 0, y = 0, z = 0;
};

struct TTriangle3D {
    TPoint3D a, b, c;
};

// What one line of a RAW file yields: nothing, one triangle, or the two
// triangles (P1, P2, P3), (P3, P4, P1) of a quad.
struct RawLine {
    int count = 0;
    std::array<TTriangle3D, 2> triangles;
};

// Reads one line; `unitFactor` turns the file's unit into millimetres. Fields
// are counted by spaces, a missing or empty field reads as 0. A line with a
// character other than a digit, "-", "." or ",", with more than 12 fields, or
// with a field that is not a number is not a record. "," counts as a decimal
// point.
RawLine readRawLine(std::string_view line, double unitFactor);

} // namespace korvane
