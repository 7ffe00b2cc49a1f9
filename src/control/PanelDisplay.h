#pragma once

#include <string>

// What the control panel shows after a tick: the positions, the speed and
// power groups and which controls may be used. The window renders it.
namespace korvane {

struct PanelDisplay {
    // Millimetres; machine Z is the tool tip above the table, as is project Z.
    double machineX = 0, machineY = 0, machineZ = 0;
    double projectX = 0, projectY = 0, projectZ = 0;
    int decimals = 2;         // 3 on the controllers with the new speed encoding
    int instantSpeed = 0;     // mm/min; 0 while the machine reports none
    std::string speedCaption; // catalogue key of the selected speed slot
    std::string powerCaption; // catalogue key of the selected power slot; empty keeps it
    int powerPosition = 0;
    int powerLabel = 0;
    bool spindleOn = false;
    std::string headTemperatures; // "set/head", whole degrees (3D printing)
    bool controlsEnabled = true;  // jogs, homing, zero, tool length: not while a job runs
};

// The key of the speed group's caption for a speed slot.
std::string speedSlotCaption(int slot);
// The key of the power group's caption for a power slot; empty for slots that
// keep the caption.
std::string powerSlotCaption(int slot);

} // namespace korvane
