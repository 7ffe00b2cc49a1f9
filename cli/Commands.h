#pragma once

#include "Batch.h"

// The batch program's commands; each returns the process exit code.
namespace korvane::cli {

int runInfo(const CommandArgs& args);

} // namespace korvane::cli
