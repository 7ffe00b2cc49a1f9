#pragma once

#include "libraries/Frezy.h"
#include "libraries/Operacje.h"
#include "libraries/Projekt.h"

#include <memory>

// The libraries and the project, created in the start sequence and freed at shutdown.
namespace korvane {

extern std::unique_ptr<TFrezy> toolLibrary;
extern std::unique_ptr<TOperacje> operationLibrary;
extern std::unique_ptr<TProjekt> project;

} // namespace korvane
