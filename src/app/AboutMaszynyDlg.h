#pragma once

#include <array>
#include <string>

// What the machine information dialog shows: the machine's own report of
// itself, the link and the calibration factors in use.
namespace korvane {

struct MachineAbout {
    std::string producer, model, year;
    std::string workArea;    // "X x Y x Z unit"
    std::string workingTime; // "h h m min."
    std::string jobCount;
    std::string connection;
    std::string controller = "ARM"; // "ARM" or "Cortex"
    std::string firmware;           // major.minor.build from firmware 6 on
    std::array<std::string, 3> calibration;
};

// Reads the machine when the USB machine is reachable; otherwise the
// connection says there is none and the machine's fields stay empty.
MachineAbout readMachineAbout();

// The travel in the user's unit, fixed, 7 digits, the unit's decimals.
std::string travelText(double millimetres, int unit);

// The calibration group's double click opens the configuration: only on the
// newer controllers and with one of the switches "kalib", "calib", "service".
bool calibrationOpensConfiguration();

} // namespace korvane
