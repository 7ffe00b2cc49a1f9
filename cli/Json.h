#pragma once

#include <string>
#include <string_view>

// A small writer of JSON text for the batch program's --json output.
namespace korvane::cli {

std::string jsonString(std::string_view text);
std::string jsonNumber(double value);

// Builds one object or array; values are added already formatted.
class JsonWriter {
  public:
    JsonWriter& beginObject(std::string_view key = {});
    JsonWriter& endObject();
    JsonWriter& beginArray(std::string_view key = {});
    JsonWriter& endArray();
    JsonWriter& raw(std::string_view key, std::string_view formatted);
    JsonWriter& string(std::string_view key, std::string_view value);
    JsonWriter& number(std::string_view key, double value);
    JsonWriter& integer(std::string_view key, long long value);
    JsonWriter& boolean(std::string_view key, bool value);
    JsonWriter& null(std::string_view key);
    const std::string& text() const { return out_; }

  private:
    void separate(std::string_view key);
    std::string out_;
    bool first_ = true;
};

} // namespace korvane::cli
