#include "control/TestMoves.h"

#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"

#include <algorithm>
#include <chrono>

namespace korvane {

namespace {

double clampTo(double v, double high) {
    return std::clamp(v, 0.0, std::max(0.0, high));
}

void sendDeltas(const MoveVector& d) {
    SendMove(roundHalfEven(d.x * 100 * machineParams.stepsX),
             roundHalfEven(d.y * 100 * machineParams.stepsY),
             roundHalfEven(d.z * 100 * machineParams.stepsZ));
}

} // namespace

MoveVector moveDeltas(int mode, const MoveVector& input, const MoveFrame& f) {
    const MoveVector& p = f.position;
    if (mode == relativeMove) {
        // Each delta goes at most to the end of its axis: X and Y within the
        // travel, the height between the table and the top.
        return {clampTo(p.x + input.x, f.travelX) - p.x, clampTo(p.y + input.y, f.travelY) - p.y,
                clampTo(p.z + input.z, f.top) - p.z};
    }
    MoveVector target = input;
    if (mode == projectCoordinates) {
        target.x += f.originX;
        target.y += f.originY;
    }
    return {clampTo(target.x, f.travelX) - p.x, clampTo(target.y, f.travelY) - p.y,
            clampTo(target.z, f.top) - p.z};
}

MoveFrame currentMoveFrame() {
    ReadPositions();
    ReadWorkOrigin();
    const TrPkt3D& a = plotstate.abspos;
    const TrPkt3D& o = plotstate.pos0;
    MoveFrame f;
    f.position = {a.x / 100.0, a.y / 100.0, (o.z + a.z) / 100.0};
    f.originX = o.x / 100.0;
    f.originY = o.y / 100.0;
    f.travelX = workArea.x;
    f.travelY = workArea.y;
    f.top = o.z / 100.0;
    return f;
}

bool moveByNumbers(int mode, const MoveVector& input, bool withoutZ) {
    if (!WaitIdle()) return false;
    MoveVector d = moveDeltas(mode, input, currentMoveFrame());
    if (withoutZ) d.z = 0;
    return SendMove(roundHalfEven(d.x * 100 * machineParams.stepsX),
                    roundHalfEven(d.y * 100 * machineParams.stepsY),
                    roundHalfEven(d.z * 100 * machineParams.stepsZ));
}

void backAndForthTest(const MoveVector& delta, const StopAsked& stop) {
    if (!WaitIdle()) return;
    for (;;) {
        for (const MoveVector& d : {delta, MoveVector{-delta.x, -delta.y, -delta.z}}) {
            sendDeltas(d);
            if (!WaitIdle() || !WaitIdle()) return;
            PauseForMachine(std::chrono::milliseconds(200));
        }
        if (stop()) return;
    }
}

std::vector<std::string> defaultConveyorSequence() {
    return {"10000",  "-4000", "8000",  "-12000", "20000", "-6000", "13000",
            "-15000", "5000",  "-7000", "3000",   "-5000", "10000", "-20000"};
}

std::optional<long long> sequenceSum(const std::vector<std::string>& lines) {
    long long sum = 0;
    for (const auto& line : lines) {
        const auto v = parseInteger(line);
        if (!v || line.find_first_of("$xX") != std::string::npos) return std::nullopt;
        sum += *v;
    }
    return sum;
}

std::string sequenceSumText(const std::vector<std::string>& lines) {
    const auto sum = sequenceSum(lines);
    return sum ? std::to_string(*sum) : "błąd";
}

bool conveyorTest(const std::vector<std::string>& lines, const StopAsked& stop) {
    const auto sum = sequenceSum(lines);
    if (!sum || *sum != 0) {
        showMessage("Suma przesuwów musi być równa zero gdyż jest to test ciągły (zapętlony).",
                    false);
        return false;
    }
    if (lines.empty() || !WaitIdle()) return true;
    for (;;) {
        for (const auto& line : lines) {
            const long long mm = *parseInteger(line);
            SendCommand(
                EncodeMove(roundHalfEven(mm * 100 * machineParams.stepsX), 0, 0, -1, 1).bytes);
            if (!WaitIdle() || !WaitIdle()) return true;
            PauseForMachine(std::chrono::milliseconds(100));
            if (stop()) return true;
        }
    }
}

} // namespace korvane
