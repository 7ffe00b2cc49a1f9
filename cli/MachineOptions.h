#pragma once

#include "Batch.h"

#include <optional>
#include <string>

// Options shared by the machine commands: the machine model, its firmware and
// the safe height.
namespace korvane::cli {

// "X.Y.Z" (or "X.Y") into fwMajor, fwMinor, fwBuild; false when malformed.
bool parseFirmware(const std::string& text);

// Identifies the machine from --machine PRODUCT and --firmware X.Y.Z, or the
// cached product string; false with the reason on standard error.
bool identifyFromOptions(const CommandArgs& args);

// --safe-height MM into safeHeight (default 10 mm); false when malformed.
bool safeHeightFromOptions(const CommandArgs& args);

// The operation of the library with this name (ignoring case), or none.
const TOperacjaDane* findOperation(const std::string& name);

} // namespace korvane::cli
