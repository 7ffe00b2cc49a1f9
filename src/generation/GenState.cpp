#include "generation/GenState.h"

namespace korvane {

std::atomic<bool> generationTerminate{false};
int maxNestingLevel = 0;
double printProgress = 0;
double printTimeLeft = 0;

} // namespace korvane
