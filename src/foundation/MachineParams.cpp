#include "foundation/MachineParams.h"

namespace korvane {

// Values in field order: mult, speedDivisor, speedFactor, stepsX, stepsY, stepsZ,
// stepsB, maxSpeed, maxFeed, maxRapid, maxPlungeFeed, maxSmoothFeed, minSpeed,
// spindleSpeedMax, spindleSpeedMin, continueWithoutStoredJob, acceleration,
// newSpeedEncoding, sliderMax, three corner coefficients, finishingFeedBound.
constexpr TMachineParams defaultMachineParams{
    1,  0.75,  3,    0.979415, 0.979415, 5.33333, 0,   2000, 1000, 1000, 180, 2000,
    12, 24000, 3000, false,    1,        0,       340, 1200, 2400, 1000, 2000};

constinit TMachineParams machineParams = defaultMachineParams;

double cornerAngle = 150.0;
double cornerCountAngle = 150.0;
double transferMargin = 5.0;

} // namespace korvane
