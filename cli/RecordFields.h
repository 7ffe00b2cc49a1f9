#pragma once

#include "Json.h"

#include "foundation/Settings.h"
#include "libraries/Frezy.h"
#include "libraries/Operacje.h"
#include "libraries/Projekt.h"

#include <string>
#include <utility>
#include <variant>
#include <vector>

// The fields of the settings, library and project records by their names, for
// printing them as text or JSON.
namespace korvane::cli {

using FieldValue = std::variant<std::string, double, long long, bool>;
using Fields = std::vector<std::pair<std::string, FieldValue>>;

// Every field of the settings record in record order; the reserved bytes as
// hexadecimal digits, the machine's address as "a.b.c.d".
Fields settingsFields(const TUstawienia& settings);
Fields toolFields(const TFrezDane& tool);
Fields operationFields(const TOperacjaDane& operation);
Fields materialFields(const TMaterial& material);
// The project's fields except material and lProcesu.
Fields projectFields(const TProjektDane& project);

// Adds the fields to the object, in their order.
void addFields(Json& object, const Fields& fields);
// "value" as text: numbers in the program's number format, Booleans 1 or 0.
std::string fieldText(const FieldValue& value);

} // namespace korvane::cli
