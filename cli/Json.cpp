#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace korvane::cli {

namespace {

// nlohmann writes strings, integers, Booleans and null; the layout and the
// doubles (nlohmann writes 5.0 and 1.2345678901234568e+17) are written here.
std::string scalarText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A string as nlohmann escapes it, but backspace and form feed written as
// \u0008 and \u000c like every other control character.
std::string stringText(const std::string& text) {
    const std::string escaped = scalarText(Json(text));
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            out += escaped[i];
            continue;
        }
        const char next = escaped[++i];
        if (next == 'b')
            out += "\\u0008";
        else if (next == 'f')
            out += "\\u000c";
        else
            (out += '\\') += next;
    }
    return out;
}

void write(std::string& out, const Json& value) {
    switch (value.type()) {
    case Json::value_t::object: {
        out += '{';
        const char* separator = "";
        for (auto it = value.begin(); it != value.end(); ++it) {
            out += separator;
            out += stringText(it.key());
            out += ": ";
            write(out, it.value());
            separator = ", ";
        }
        out += '}';
        break;
    }
    case Json::value_t::array: {
        out += '[';
        const char* separator = "";
        for (const Json& item : value) {
            out += separator;
            write(out, item);
            separator = ", ";
        }
        out += ']';
        break;
    }
    case Json::value_t::string:
        out += stringText(value.get_ref<const std::string&>());
        break;
    case Json::value_t::number_float:
        out += shortestNumber(value.get<double>());
        break;
    default:
        out += scalarText(value);
    }
}

} // namespace

std::string shortestNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string jsonText(const Json& document) {
    std::string out;
    write(out, document);
    return out;
}

void printJson(const Json& document) {
    std::printf("%s\n", jsonText(document).c_str());
}

} // namespace korvane::cli
