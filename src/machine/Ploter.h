#pragma once

#include "machine/Encoding.h"
#include "machine/MachineState.h"

#include <chrono>
#include <cstdint>
#include <string>

// The command protocol: the one send path, the status reads and the composite
// moves (the byte encodings of moves and speeds are in MoveEncoding.h). Main
// thread only.
namespace korvane {

// Sends one command over the active link. 0 when it was delivered; otherwise
// the failure (LinkErrors.h): usbNotPresent, a USB error code (shown to the
// user), an Ethernet echo error, or noMachine when there is no link at all.
int SendCommand(const std::string& cmd);

// True when a link to the machine is up (Ethernet connected or the USB machine
// found).
bool linkUp();

// Status and values. The reads return false when the link failed or, for
// ReadStatus, when the status did not settle within machineWaitLimit.
bool ReadStatus();
// Waits until the axes are at rest. A machine that does not settle within
// machineWaitLimit gives the "no communication" message and false.
bool WaitIdle();
// Waits `duration` for the machine with the window kept drawing: the wait pump
// runs every 5 ms.
void PauseForMachine(std::chrono::milliseconds duration);
void ReadPositions();
void ReadWorkOrigin();
void ReadSpeeds();
void ReadPower();
void ReadMachineInfo();
std::string ReadFirmwareVersion();
// The drive error's code (else the reference switches' inputs) and its axis
// mask into driverErrorAxisMask: over USB from index 17, over Ethernet from
// bytes 1 and 2 of the last status block, which carry the same.
int ReadDriverError();
std::string DriverErrorAxes(int mask);
void ReadHeadTemperatures();
bool InverterOk();

bool FirmwareAtLeast(int major, int minor);
bool FirmwareAtLeastEach(int major, int minor, int build);
bool FirmwareIs(int major, int minor);

// Commands with their own operation.
void SetSpeed(double value);
void SetPower();
void ToggleSpindle();
void SetWorkOriginXY();
void SetWorkOriginZ();
void StopMotion();

// An interactive "A" move by step deltas (speed none, k = speedFactor); false
// when there was nothing to move.
bool SendMove(long long dx, long long dy, long long dz);

// z, y, x in millimetres: x, y from the work origin, z the tool tip above the table.
bool MoveToPoint(double z, double y, double x);
// z, y, x in millimetres in machine coordinates.
bool MoveToPointDirect(double z, double y, double x);

// Decodes an Ethernet status block into plotstate.
void decodeEthernetStatus(const ReplyBlock& block);
// Decodes an information block (port 80) into info0..info2 and the firmware.
void decodeEthernetInfo(const std::string& reply);

} // namespace korvane
