#include "import/GCodeRefusal.h"

namespace korvane {

const char* gcodeProblemText(GCodeProblem problem) {
    switch (problem) {
    case GCodeProblem::unknownWord:
        return "a word this program does not run";
    case GCodeProblem::cutterCompensation:
        return "cutter compensation is not supported";
    case GCodeProblem::expression:
        return "parameters and expressions are not supported";
    case GCodeProblem::subroutine:
        return "o-word subroutines are not supported";
    case GCodeProblem::toolLengthOffset:
        return "tool-length offsets from a table are not supported";
    case GCodeProblem::workOffset:
        return "work offsets other than G54 are not supported";
    case GCodeProblem::inverseTime:
        return "inverse-time feed is not supported";
    case GCodeProblem::badNumber:
        return "not a number";
    case GCodeProblem::twiceInBlock:
        return "given twice in one block";
    case GCodeProblem::missingWord:
        return "a word the block needs is missing";
    case GCodeProblem::unusedWord:
        return "no code of the block uses this word";
    case GCodeProblem::arcGeometry:
        return "the arc's ends, centre and radius do not agree";
    case GCodeProblem::cycleGeometry:
        return "the drilling cycle cannot be drilled as written";
    case GCodeProblem::outOfReach:
        return "a point beyond 10000 mm, out of any machine's reach";
    case GCodeProblem::tooManyMoves:
        return "more straight moves than a program may hold";
    case GCodeProblem::comment:
        return "a comment is left open or opened inside another";
    }
    return "";
}

GCodeRefusal::GCodeRefusal(GCodeProblem problem, int lineNumber, std::string line, std::string word)
    : std::runtime_error("line " + std::to_string(lineNumber) + ": " + word + ": " +
                         gcodeProblemText(problem) + " (\"" + line + "\")"),
      problem(problem), lineNumber(lineNumber), line(std::move(line)), word(std::move(word)) {}

} // namespace korvane
