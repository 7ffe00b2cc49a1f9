#include "app/AboutMaszynyDlg.h"

#include "control/MachineCalibration.h"
#include "foundation/CommandLine.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/Usb.h"

#include <cstdio>

namespace korvane {

std::string travelText(double millimetres, int unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%7.*f", unitDecimals(unit), millimetres / unitFactor(unit));
    return text;
}

MachineAbout readMachineAbout() {
    MachineAbout a;
    a.connection = txt("Control_panel", "sterBrakPolaczenia");
    if (usbLink && usbLink->VardimonExist()) {
        ReadMachineInfo();
        const int unit = settings.jednostkaMiary;
        a.producer = plotstate.info0;
        a.model = plotstate.info1;
        a.year = plotstate.info2;
        const std::string name =
            unit >= 0 && unit < 3 ? unitTable[static_cast<std::size_t>(unit)].skrot : "";
        a.workArea = travelText(workArea.x, unit) + " x " + travelText(workArea.y, unit) + " x " +
                     travelText(workArea.z, unit) + " " + name;
        a.workingTime = std::to_string(plotstate.info_time / 60) + " h " +
                        std::to_string(plotstate.info_time % 60) + " min.";
        a.jobCount = std::to_string(plotstate.info_ilpl);
        a.connection = txt("Machine_about", "stanPolaczony");
        if (fwMajor > 5)
            a.firmware = std::to_string(fwMajor) + "." + std::to_string(fwMinor) + "." +
                         std::to_string(fwBuild);
        a.controller = extendedStatus ? "Cortex" : "ARM";
    }
    a.calibration = {calibrationText(calX), calibrationText(calY), calibrationText(calZ)};
    return a;
}

bool calibrationOpensConfiguration() {
    return extendedStatus && (hasSwitch("kalib") || hasSwitch("calib") || hasSwitch("service"));
}

} // namespace korvane
