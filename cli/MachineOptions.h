#pragma once

#include "Batch.h"

#include "libraries/Operacje.h"

#include <optional>
#include <string>

// Options shared by the machine commands: the safe height, the start point and
// the operation.
namespace korvane::cli {

// --safe-height MM, 10 mm when absent; none when it is not a positive number.
std::optional<double> safeHeightOption(const CommandArgs& args);

// --substrate MM, the substrate under the material (0 when absent); none when
// it is not a number from 0.
std::optional<double> substrateOption(const CommandArgs& args);

// A number from 0 after `flag` (--start-figure, --start-point); 0 when the
// flag is absent, none when it is not such a number.
std::optional<long long> indexOption(const CommandArgs& args, const char* flag);

// The operation of the library with this name, compared as the program
// compares names (ignoring case in any script), or none.
const TOperacjaDane* findOperation(const std::string& name);

} // namespace korvane::cli
