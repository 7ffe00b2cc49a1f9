#pragma once

#include <nlohmann/json.hpp>

#include <string>

// The batch program's --json output: documents built as nlohmann's ordered
// JSON (members in the order they were added), written on one line.
namespace korvane::cli {

using Json = nlohmann::ordered_json;

// The document on one line, ", " between items and ": " after keys; numbers
// in the shortest text that reads back as the same number (integral ones
// without a fraction: 5, not 5.0), null when not finite. Bytes that are not
// UTF-8 become U+FFFD, so that the text is always valid JSON.
std::string jsonText(const Json& document);

// The document and a line end on standard output.
void printJson(const Json& document);

// The shortest text that reads back as exactly `value` ("5", "0.1", "1e-07",
// "123456789012345680"); "null" when it is not finite.
std::string shortestNumber(double value);

} // namespace korvane::cli
