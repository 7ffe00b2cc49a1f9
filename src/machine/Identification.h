#pragma once

#include <stdexcept>
#include <string>

// Machine identification: the model row chosen by the product string, the
// overrides of the newer controllers, calibration and record lengths.
namespace korvane {

// A calibration or parameter file that cannot be read as it must.
struct MachineFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Fills machineParams and the identification results from plotstate.info1 and
// the firmware version. A product string that matches no row keeps the model
// identified before (row 0 at first).
void IdentifyMachine();
// Applies the calibration factors to the steps of the model row.
void LoadCalibration();
// Writes the three factors into the machine's calibration memory (12 commands).
void WriteCalibration(float x, float y, float z);

// "typ.txt" in the data folder: the product string of the last machine.
void loadCachedProduct();
void saveCachedProduct();

} // namespace korvane
