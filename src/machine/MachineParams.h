#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The parameters of the connected machine model, copied as a whole from a row of
// the built-in model table when the machine is identified.
namespace korvane {

struct TMachineParams {
    std::int32_t mult = 0;                     // ramp multiplier (1 or 2)
    double speedDivisor = 0;                   // divisor of the speed conversion
    double speedFactor = 0;                    // k: factor of speeds and move lengths
    double stepsX = 0, stepsY = 0, stepsZ = 0; // steps per 0.01 mm, before calibration
    double stepsB = 0;                         // steps per unit of the fourth axis; 0 when absent
    std::uint16_t maxSpeed = 0;                // mm/min
    std::uint16_t maxFeed = 0;                 // bound and default of roughing working speed
    std::uint16_t maxRapid = 0;                // bound and default of rapid speed
    std::uint16_t maxPlungeFeed = 0;           // bound of plunge feed; cap for steep segments
    std::uint16_t maxSmoothFeed = 0;           // working-speed bound while smoothing is on
    std::uint16_t minSpeed = 0;                // mm/min
    std::int32_t spindleSpeedMax = 0;          // rpm
    std::int32_t spindleSpeedMin = 0;          // rpm
    bool continueWithoutStoredJob = false;
    std::int32_t acceleration = 0;
    std::uint8_t newSpeedEncoding = 0; // 32-bit speeds and the speed byte in moves
    std::int32_t sliderMax = 0;        // speed slider's maximum position
    std::int32_t cornerCoefNormal = 0;
    std::int32_t cornerCoefSmoothing = 0;
    std::int32_t cornerCoefSteep = 0;
    std::uint32_t finishingFeedBound = 0;
};

// One row of the model table: the three-letter code that starts the product
// string, an optional variant of the following characters, and the parameters.
struct TMachineModel {
    std::string code;
    std::string variant;
    TMachineParams params;
};

// The built-in model table; row 0 is the default model, used until a machine
// has been identified.
const std::vector<TMachineModel>& machineModelTable();

// The parameters in force; row 0 until a machine is identified.
extern TMachineParams machineParams;

} // namespace korvane
