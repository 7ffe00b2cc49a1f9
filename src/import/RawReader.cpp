#include "import/RawReader.h"

#include "import/TextLines.h"

#include <charconv>
#include <optional>
#include <string>

namespace korvane {

namespace {

constexpr int maxFields = 12;

// A field: optional leading "-", digits with at most one decimal point ("." or
// ","), at least one digit. Empty fields read as 0.
std::optional<double> fieldValue(std::string_view field) {
    if (field.empty()) return 0.0;
    std::string_view body = field;
    const bool negative = body.front() == '-';
    if (negative) body.remove_prefix(1);
    std::size_t points = 0, digits = 0, comma = std::string_view::npos;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '.' || c == ',') {
            ++points;
            if (c == ',') comma = i;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return std::nullopt; // a "-" inside the number
        }
    }
    if (digits == 0 || points > 1) return std::nullopt;
    std::string withPoint;
    if (comma != std::string_view::npos) {
        withPoint = body;
        withPoint[comma] = '.';
        body = withPoint;
    }
    double value = 0;
    auto res =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::fixed);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small for a double reads as 0; too large is no number.
        const std::string_view whole = body.substr(0, body.find('.'));
        if (whole.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
        value = 0;
    } else if (res.ec != std::errc() || res.ptr != body.data() + body.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace

RawLine readRawLine(std::string_view line, double unitFactor) {
    RawLine result;
    line = trimControl(line);
    if (line.empty()) return result;

    std::array<std::string_view, maxFields> fields;
    int count = 0;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        const char c = i < line.size() ? line[i] : ' '; // the appended closing space
        if (c == ' ') {
            if (count == maxFields) return result;
            fields[static_cast<size_t>(count++)] = line.substr(start, i - start);
            start = i + 1;
        } else if (!((c >= '0' && c <= '9') || c == '-' || c == '.' || c == ',')) {
            return result;
        }
    }

    std::array<float, maxFields> v{};
    for (int i = 0; i < count; ++i) {
        auto value = fieldValue(fields[static_cast<size_t>(i)]);
        if (!value) return result;
        v[static_cast<size_t>(i)] = static_cast<float>(*value * unitFactor);
    }
    auto point = [&](int n) { // P1..P4
        const size_t i = static_cast<size_t>(n - 1) * 3;
        return TPoint3D{v[i], v[i + 1], v[i + 2]};
    };
    result.triangles[0] = {point(1), point(2), point(3)};
    result.count = 1;
    if (count == maxFields) {
        result.triangles[1] = {point(3), point(4), point(1)};
        result.count = 2;
    }
    return result;
}

} // namespace korvane
