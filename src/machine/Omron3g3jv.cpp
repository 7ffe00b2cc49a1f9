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
#include <thread>

namespace korvane {

std::filesystem::path inverterParameterFile() {
    const bool mv = modelCode.size() >= 3 && modelCode[2] == 'M';
    return exeFolder / (mv ? "3g3MV.dat" : "3g3jv.dat");
}

void ProgramInverter() {
    std::ifstream in(inverterParameterFile());
    if (!in) return;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (trimSpaces(line).empty() || line == "\r") continue;
        std::istringstream fields(line);
        long long number = 0, value = 0;
        if (!(fields >> number >> value))
            throw MachineFileError(inverterParameterFile().filename().string() + ": line " +
                                   std::to_string(lineNumber) + " does not hold two integers");
        std::string cmd = "[";
        appendLE16(cmd, number);
        appendLE16(cmd, value);
        SendCommand(cmd);
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
    }
}

void WaitInverterStop() {
    if (!continueWithoutStoredJob || ethernetActive || !usbLink || fwMajor < 7) return;
    for (int i = 0; i < 10000; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (usbLink->ReadString(usbInverterIndex) != 0) return;
        if (!(readLE32(usbLink->BufIn.data() + 2) & 0x800)) return;
    }
}

} // namespace korvane
