#pragma once

#include <array>
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

// What identification changes beyond the row for the models of the newer
// controller generation (extended status layout).
struct TNewerGeneration {
    bool present = false;
    double sharpCornerAngle = 165, cornerAngle = 150, cornerCountAngle = 150;
    float motionFactor = 45;
    std::array<float, 2> motionSettings{};
    bool divisorTimesMult = false;       // speedDivisor * mult from firmware 6.32
    bool accelerationByFirmware = false; // 0 on firmware 6.34, 4 from 6.35
    bool cornerCoefByFirmware = false;   // 700 and 600 from firmware 9.12.77 on
    bool readsSizeClass = false;         // index 25: "L" large, else standard
};

// One row of the model table: the code that starts the product string (three
// letters, or six for the codes of longCodeModels), an optional variant of the
// characters that follow, and the parameters.
struct TMachineModel {
    std::string code;
    std::string variant;
    TMachineParams params;
    TNewerGeneration newer;
    bool variantB = false; // a "b" as eighth product character marks the variant
};

// The built-in model table; row 0 is the default model, used until a machine
// has been identified.
const std::vector<TMachineModel>& machineModelTable();

// Codes whose next three product characters belong to the model code.
const std::vector<std::string>& longCodeModels();

// The product string assumed until a machine was read; its code selects row 0.
inline constexpr const char* defaultProductString = "XKC-3020";

// The parameters in force; row 0 until a machine is identified.
extern TMachineParams machineParams;

} // namespace korvane
