#pragma once

#include <string>

// The byte encodings of moves and speeds for the machine in force (machineParams
// and the firmware version): the "A" move command with its length field, the
// conversions between mm/min and the machine's speed values, and the speed and
// slot commands. Nothing here talks to the machine.
namespace korvane {

// An "A" move command and its length field T; empty bytes mean no move.
struct EncodedMove {
    std::string bytes;
    long long length = 0;
};

// Speed -1 means none. Uses machineParams.newSpeedEncoding and fwMajor.
EncodedMove EncodeMove(long long dx, long long dy, long long dz, int speed, double k);
EncodedMove EncodeMovePlanar(long long dx, long long dy, long long dz, int speed, double k);
// The same for an explicit controller generation.
EncodedMove encodeMoveFor(long long dx, long long dy, long long dz, int speed, double k,
                          bool planar, bool newSpeedEncoding, int firmwareMajor);

// mm/min to the machine's speed value (larger is slower; 65535 below minSpeed)
// and back.
long long SpeedToMachine(double v);
long long MachineToSpeed(long long s);

// Speed value of a slot command: LE32 with newSpeedEncoding, else LE16.
std::string SpeedCommand(int slot, long long value);
std::string SlotCommand(int slot);

} // namespace korvane
