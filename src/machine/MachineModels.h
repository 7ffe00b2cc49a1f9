#pragma once

#include "foundation/MachineParams.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The built-in table of machine models: which product strings select which
// parameters, and what identification changes for the newer controllers.
namespace korvane {

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

// The model code of a product string: its first three characters trimmed, with
// the next three for the codes of longCodeModels.
std::string modelCodeOf(const std::string& product);

// The row a product string selects: the last row whose code is the product's
// and whose variant, when it has one, is characters 4 to 6 or 4 to 7 trimmed.
// None when no row matches.
const TMachineModel* findMachineModel(const std::string& product);

// The product string assumed until a machine was read; its code selects row 0.
inline constexpr const char* defaultProductString = "XKC-3020";

} // namespace korvane
