#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Moves by numbers and the endurance tests of the move dialog. In this unit Z
// is the height of the tool tip above the table, mm: (pos0.z + abspos.z) / 100,
// the highest point pos0.z / 100.
namespace korvane {

enum MoveMode : int { machineCoordinates = 0, projectCoordinates = 1, relativeMove = 2 };

struct MoveVector {
    double x = 0, y = 0, z = 0;
};

// Where the tool is and what bounds it, mm: X and Y in machine coordinates, Z
// as height; origin the project zero's X and Y, travel the work area's X and
// Y, top the highest height.
struct MoveFrame {
    MoveVector position;
    double originX = 0, originY = 0;
    double travelX = 0, travelY = 0;
    double top = 0;
};

// The deltas of a move in `mode`: targets kept within 0..travel in X and Y and
// 0..top in Z, in every mode.
MoveVector moveDeltas(int mode, const MoveVector& input, const MoveFrame& frame);

// The machine's frame as it is now (read from the machine).
MoveFrame currentMoveFrame();

// Waits until the axes rest, then one "A" move to the input in `mode`; Z
// stays when `withoutZ`. False when there was nothing to move.
bool moveByNumbers(int mode, const MoveVector& input, bool withoutZ);

// Asked between rounds of an endurance test: true ends it (a key or a left
// click waits for the dialog).
using StopAsked = std::function<bool()>;

// Forth by `delta`, back, again, until `stop` says so.
void backAndForthTest(const MoveVector& delta, const StopAsked& stop);

// The conveyor's sequence of X moves, mm.
std::vector<std::string> defaultConveyorSequence();
// The integer sum of the lines; nullopt when a line is not an integer.
std::optional<long long> sequenceSum(const std::vector<std::string>& lines);
// The sum as shown: the number, or "błąd".
std::string sequenceSumText(const std::vector<std::string>& lines);

// Runs the sequence as X moves round and round until `stop`. A sum other than
// 0 (or a line that is not a number) would walk the machine off its travel: the
// information box, and false.
bool conveyorTest(const std::vector<std::string>& lines, const StopAsked& stop);

} // namespace korvane
