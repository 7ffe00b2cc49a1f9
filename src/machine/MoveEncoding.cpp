#include "machine/MoveEncoding.h"

#include "foundation/MachineParams.h"
#include "foundation/Rounding.h"
#include "machine/Encoding.h"
#include "machine/MachineState.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace korvane {

EncodedMove encodeMoveFor(long long dx, long long dy, long long dz, int speed, double k,
                          bool planar, bool newSpeedEncoding, int firmwareMajor) {
    const long double sq =
        planar ? static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy
               : static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy +
                     static_cast<long double>(dz) * dz;
    const long long L = roundHalfEven(std::sqrt(sq) + 0.5L);
    long long T = roundHalfEven(L * static_cast<long double>(k));
    if (planar && std::llabs(dz) > T) T = std::llabs(dz);
    int flags = (dx <= 0 ? 1 : 0) | (dy <= 0 ? 2 : 0) | (dz <= 0 ? 4 : 0);
    dx = std::llabs(dx);
    dy = std::llabs(dy);
    dz = std::llabs(dz);
    EncodedMove move;
    move.length = T;
    if (!newSpeedEncoding) {
        if (T <= 0) return move;
        std::string& c = move.bytes;
        c = "A";
        appendByte(c, flags);
        appendLE24(c, T);
        appendLE24(c, dx);
        appendLE24(c, dy);
        appendLE24(c, dz);
        return move;
    }
    long long s = speed < 0 ? 65535 : speed;
    long long speedByte = 0;
    long long dzField = dz;
    if (firmwareMajor < 6) {
        speedByte = std::min<long long>(s / 16, 255);
    } else {
        s = std::min<long long>(s, firmwareMajor == 6 ? 4095 : 65535);
        speedByte = s & 0xFF;
        // The field keeps 20 bits of the delta; a larger one cannot be sent.
        if (dz > 0xFFFFF)
            throw MachineRangeError("step count " + std::to_string(dz) + " does not fit 20 bits");
        dzField = (dz & 0xFFFFF) | ((s & 0xF00) << 12);
        if (firmwareMajor >= 7) flags = (flags & 0x0F) | static_cast<int>((s & 0xF000) >> 8);
    }
    if (T <= 0 && !planar) return move;
    std::string& c = move.bytes;
    c = "A";
    appendByte(c, flags);
    appendLE24(c, T);
    appendLE24(c, dx);
    appendLE24(c, dy);
    appendLE24(c, dzField);
    appendByte(c, speedByte);
    return move;
}

EncodedMove EncodeMove(long long dx, long long dy, long long dz, int speed, double k) {
    return encodeMoveFor(dx, dy, dz, speed, k, false, machineParams.newSpeedEncoding != 0, fwMajor);
}

EncodedMove EncodeMovePlanar(long long dx, long long dy, long long dz, int speed, double k) {
    return encodeMoveFor(dx, dy, dz, speed, k, true, machineParams.newSpeedEncoding != 0, fwMajor);
}

long long SpeedToMachine(double v) {
    const TMachineParams& p = machineParams;
    if (v < p.minSpeed) return 65535;
    const double u = v * 100 / 60;
    const double c = p.newSpeedEncoding ? 1000000.0 / roundHalfEven(p.stepsX) / u : 1000000.0 / u;
    return roundHalfEven(c / p.speedDivisor);
}

long long MachineToSpeed(long long s) {
    const TMachineParams& p = machineParams;
    if (s <= 0) return p.minSpeed;
    if (p.newSpeedEncoding)
        return roundHalfEven(600000.0 / roundHalfEven(p.stepsX) / (s * p.speedDivisor));
    return roundHalfEven(600000.0 / (s * p.speedDivisor));
}

std::string SpeedCommand(int slot, long long value) {
    std::string cmd = "V";
    appendByte(cmd, slot);
    if (machineParams.newSpeedEncoding)
        appendLE32(cmd, value);
    else
        appendLE16(cmd, value);
    return cmd;
}

std::string SlotCommand(int slot) {
    std::string cmd = "F";
    appendByte(cmd, slot);
    return cmd;
}

} // namespace korvane
