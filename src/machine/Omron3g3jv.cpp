#include "machine/Omron3g3jv.h"

#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/Identification.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/Usb.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <vector>

namespace korvane {

std::filesystem::path inverterParameterFile() {
    const bool mv = modelCode.size() >= 3 && modelCode[2] == 'M';
    return exeFolder / (mv ? "3g3MV.dat" : "3g3jv.dat");
}

void ProgramInverter() {
    const auto file = inverterParameterFile();
    std::ifstream in(file);
    if (!in) return;
    // The whole file is read and checked first: an inverter must never be left
    // with part of a parameter set.
    std::vector<std::string> commands;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (trimSpaces(line).empty() || line == "\r") continue;
        const std::string where = file.filename().string() + ": line " + std::to_string(lineNumber);
        std::istringstream fields(line);
        long long number = 0, value = 0;
        if (!(fields >> number >> value))
            throw MachineFileError(where + " does not hold two integers");
        if (number < 0 || number > 65535 || value < 0 || value > 65535)
            throw MachineFileError(where + ": parameter " + std::to_string(number) + " value " +
                                   std::to_string(value) + " outside 0..65535");
        std::string cmd = "[";
        appendLE16(cmd, number);
        appendLE16(cmd, value);
        commands.push_back(std::move(cmd));
    }
    for (const std::string& cmd : commands) {
        SendCommand(cmd);
        PauseForMachine(std::chrono::milliseconds(80));
    }
}

void WaitInverterStop() {
    if (!continueWithoutStoredJob || ethernetActive || !usbLink || fwMajor < 7) return;
    for (int i = 0; i < 10000; ++i) {
        PauseForMachine(std::chrono::milliseconds(1));
        if (usbLink->ReadString(usbInverterIndex) != 0) return;
        if (!(readLE32(usbLink->BufIn.data() + 2) & 0x800)) return;
    }
}

} // namespace korvane
