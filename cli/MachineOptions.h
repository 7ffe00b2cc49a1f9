#pragma once

#include "Batch.h"

#include "libraries/Operacje.h"

#include <optional>
#include <string>

// Options shared by the machine commands: the safe height and the operation.
namespace korvane::cli {

// --safe-height MM, 10 mm when absent; none when it is not a positive number.
std::optional<double> safeHeightOption(const CommandArgs& args);

// --substrate MM, the substrate under the material (0 when absent); none when
// it is not a number from 0.
std::optional<double> substrateOption(const CommandArgs& args);

// The operation of the library with this name, compared as the program
// compares names (ignoring case in any script), or none.
const TOperacjaDane* findOperation(const std::string& name);

} // namespace korvane::cli
