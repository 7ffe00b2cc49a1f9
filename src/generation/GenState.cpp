#include "generation/GenState.h"

namespace korvane {

FigureList figureList;
int figureCounter = 0;
double cornerAngle = 150.0;
double cornerCountAngle = 150.0;
double transferMargin = 5.0;
std::atomic<bool> generationTerminate{false};
int maxNestingLevel = 0;
double printProgress = 0;
double printTimeLeft = 0;

} // namespace korvane
