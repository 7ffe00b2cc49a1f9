#include "output/OutputNumber.h"

#include <charconv>
#include <string_view>

namespace korvane {

void appendOutputNumber(std::string& out, double v) {
    // Room for any double: sign, 309 digits, point and three decimals.
    char buffer[320];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 3);
    std::string_view text(buffer, static_cast<std::size_t>(r.ptr - buffer));
    if (text == "-0.000") text = "0.000";
    out += text;
}

} // namespace korvane
