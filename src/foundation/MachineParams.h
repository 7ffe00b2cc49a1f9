#pragma once

#include <cstdint>

// The parameters of the connected machine model, copied as a whole from a row of
// the machine model table when the machine is identified, and the path settings
// that identification adjusts. Libraries, generation and output read them.
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

// The parameters of row 0 of the model table, in force until a machine is identified.
extern const TMachineParams defaultMachineParams;

// The parameters in force.
extern TMachineParams machineParams;

// Corners sharper than this angle (degrees) are kept by smoothing and counted
// by the output reader; 150 until a machine model sets it (150 to 166).
extern double cornerAngle;
// The corner threshold of the output reader while path smoothing applies.
extern double cornerCountAngle;
// Clearance added to rapid-move heights: 5.0 mm before the first machine
// identification, 1.0 mm after.
extern double transferMargin;

} // namespace korvane
