#pragma once

#include <string>

// Axis calibration: the factor from a measured move, and the factors stored
// where identification applies them.
namespace korvane {

// The factors a machine may carry; identification limits the file's to these.
inline constexpr double lowestCalibration = 0.6, highestCalibration = 1.4;

// realized · inUse / given when both distances are non-zero, else 1.
double calibrationFactor(double given, double realized, double inUse);

// "%2.8n": the factor with 8 decimals and thousands grouped.
std::string calibrationText(double factor);

// Stores the factors (each limited to 0.6..1.4) in the machine's calibration
// memory and, for the classic controllers, whose identification reads the file,
// in "kalibracja.txt" beside the program; then identifies the machine again so
// that they apply. False, with the message shown, when the file could not be
// written.
bool storeCalibration(double x, double y, double z);

} // namespace korvane
