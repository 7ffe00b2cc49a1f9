#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace korvane::cli {

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

void JsonWriter::separate(std::string_view key) {
    if (!first_) out_ += ", ";
    first_ = false;
    if (!key.empty()) out_ += jsonString(key) + ": ";
}

JsonWriter& JsonWriter::beginObject(std::string_view key) {
    separate(key);
    out_ += "{";
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    out_ += "}";
    first_ = false;
    return *this;
}

JsonWriter& JsonWriter::beginArray(std::string_view key) {
    separate(key);
    out_ += "[";
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    out_ += "]";
    first_ = false;
    return *this;
}

JsonWriter& JsonWriter::raw(std::string_view key, std::string_view formatted) {
    separate(key);
    out_ += formatted;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view key, std::string_view value) {
    return raw(key, jsonString(value));
}

JsonWriter& JsonWriter::number(std::string_view key, double value) {
    return raw(key, jsonNumber(value));
}

JsonWriter& JsonWriter::integer(std::string_view key, long long value) {
    return raw(key, std::to_string(value));
}

JsonWriter& JsonWriter::boolean(std::string_view key, bool value) {
    return raw(key, value ? "true" : "false");
}

JsonWriter& JsonWriter::null(std::string_view key) {
    return raw(key, "null");
}

} // namespace korvane::cli
