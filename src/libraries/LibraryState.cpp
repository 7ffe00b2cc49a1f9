#include "libraries/LibraryState.h"

namespace korvane {

std::unique_ptr<TFrezy> toolLibrary;
std::unique_ptr<TOperacje> operationLibrary;
std::unique_ptr<TProjekt> project;

} // namespace korvane
