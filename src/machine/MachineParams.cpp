#include "machine/MachineParams.h"

namespace korvane {

namespace {

// Values in field order: mult, speedDivisor, speedFactor, stepsX, stepsY, stepsZ,
// stepsB, maxSpeed, maxFeed, maxRapid, maxPlungeFeed, maxSmoothFeed, minSpeed,
// spindleSpeedMax, spindleSpeedMin, continueWithoutStoredJob, acceleration,
// newSpeedEncoding, sliderMax, three corner coefficients, finishingFeedBound.
const TMachineParams classicRow{1,    0.75, 3,   0.979415, 0.979415, 5.33333, 0,    2000,
                                1000, 1000, 180, 2000,     12,       24000,   3000, false,
                                1,    0,    340, 1200,     2400,     1000,    2000};

} // namespace

const std::vector<TMachineModel>& machineModelTable() {
    static const std::vector<TMachineModel> table = {
        {"VKC", "", classicRow},
    };
    return table;
}

TMachineParams machineParams = machineModelTable().front().params;

} // namespace korvane
