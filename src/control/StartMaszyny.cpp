#include "control/StartMaszyny.h"

#include "foundation/Rounding.h"
#include "machine/MachineModels.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"

#include <chrono>

namespace korvane {

namespace {

void sendAndSettle(const char* command) {
    SendCommand(command);
    PauseForMachine(std::chrono::milliseconds(10));
    WaitIdle();
}

} // namespace

bool prepareMachineForJob(double rapidSpeed, bool printing) {
    // No rapid speed of its own: the machine's fastest.
    if (rapidSpeed <= 0) rapidSpeed = machineParams.maxRapid;
    ReadStatus();
    ReadWorkOrigin();
    SendCommand(
        SpeedCommand(0, SpeedToMachine(roundHalfEven(rapidSpeed * machineParams.speedFactor))));
    SendCommand(SlotCommand(0));
    PauseForMachine(std::chrono::milliseconds(100));
    WaitIdle();
    if (!printing && !MoveToPoint(safeHeight, 0, 0)) return false;
    sendAndSettle("C");
    jobPaused = false;
    sendAndSettle("Q");
    sendAndSettle("Q");
    sendAndSettle("C");
    if (!printing && !MoveToPoint(safeHeight, 0, 0)) {
        SendCommand(SlotCommand(2));
        return false;
    }
    return true;
}

} // namespace korvane
