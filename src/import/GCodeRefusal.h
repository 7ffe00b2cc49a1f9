#pragma once

#include <stdexcept>
#include <string>

// Why a G-code program is refused: the first block the reader cannot run as the
// program means it, named by its line number, its text and the word.
namespace korvane {

// The farthest a point of a program may lie from the origin, mm: as far as an
// output path file holds.
inline constexpr double maxProgramCoordinate = 10000;

enum class GCodeProblem {
    unknownWord,        // a code or letter this reader does not run
    cutterCompensation, // G41, G42, D
    expression,         // parameters "#" and expressions "[...]"
    subroutine,         // o-words
    toolLengthOffset,   // G43 and H: offsets from a tool table
    workOffset,         // G55 to G59, G92, G10, G53
    inverseTime,        // G93
    badNumber,          // a letter without a number, or a malformed one
    twiceInBlock,       // a letter twice, or two codes of one group, in one block
    missingWord,        // a word the block needs (P of G4, F of a cut, R of a cycle)
    unusedWord,         // a word no code of the block uses (I without an arc, axes with G80)
    arcGeometry,        // an arc whose ends, centre or radius do not agree
    cycleGeometry,      // a drilling cycle that cannot be drilled as written
    comment,            // a comment left open or opened inside another
    outOfReach,         // a point beyond maxProgramCoordinate from the origin
    tooManyMoves,       // an arc of more than maxArcChords moves, or a program past its points
};

// The problem in English, for the batch program and the log.
const char* gcodeProblemText(GCodeProblem problem);

struct GCodeRefusal : std::runtime_error {
    GCodeRefusal(GCodeProblem problem, int lineNumber, std::string line, std::string word);

    GCodeProblem problem;
    int lineNumber; // from 1
    std::string line;
    std::string word;
};

} // namespace korvane
