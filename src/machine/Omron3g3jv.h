#pragma once

#include <filesystem>
#include <stdexcept>

// The spindle inverter: its parameters programmed through the controller, and
// the wait for it to run down.
namespace korvane {

// The parameter file of the machine's inverter type in the program folder:
// "3g3MV.dat" when the model code's third character is "M", else "3g3jv.dat".
std::filesystem::path inverterParameterFile();

// Sends every parameter line as "[", number LE16, value LE16, 80 ms apart. A
// missing file sends nothing; a line without two integers, or with a number
// outside 0..65535, throws MachineFileError before anything is sent.
void ProgramInverter();

// On machines that report the run-down (continue without a stored job, USB,
// firmware 7 or later): waits until bit 11 of index 16 clears, at most 10 000
// reads.
void WaitInverterStop();

} // namespace korvane
