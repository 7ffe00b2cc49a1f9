// The main window's G-code programs from other CAM systems: each one read into
// an output of its own name.
#include "app/Glowny.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "generation/ProgramImport.h"
#include "output/DaneWyjsciowe.h"
#include "output/ProgramFeedsFile.h"

#include <algorithm>

namespace korvane {

namespace {

// The refusal's reason in the interface language.
std::string problemText(GCodeProblem problem) {
    switch (problem) {
    case GCodeProblem::unknownWord:
        return txt("Main_window", "gcodeNieznaneSlowo");
    case GCodeProblem::cutterCompensation:
        return txt("Main_window", "gcodeKorekcjaPromienia");
    case GCodeProblem::expression:
        return txt("Main_window", "gcodeParametry");
    case GCodeProblem::subroutine:
        return txt("Main_window", "gcodePodprogramy");
    case GCodeProblem::toolLengthOffset:
        return txt("Main_window", "gcodeKorekcjaDlugosci");
    case GCodeProblem::workOffset:
        return txt("Main_window", "gcodeUkladWspolrzednych");
    case GCodeProblem::inverseTime:
        return txt("Main_window", "gcodeCzasOdwrotny");
    case GCodeProblem::badNumber:
        return txt("Main_window", "gcodeZlaLiczba");
    case GCodeProblem::twiceInBlock:
        return txt("Main_window", "gcodeDwaRazy");
    case GCodeProblem::missingWord:
        return txt("Main_window", "gcodeBrakSlowa");
    case GCodeProblem::unusedWord:
        return txt("Main_window", "gcodeNieuzyteSlowo");
    case GCodeProblem::arcGeometry:
        return txt("Main_window", "gcodeLuk");
    case GCodeProblem::cycleGeometry:
        return txt("Main_window", "gcodeCykl");
    case GCodeProblem::comment:
        return txt("Main_window", "gcodeKomentarz");
    case GCodeProblem::outOfReach:
        return txt("Main_window", "gcodePozaZasiegiem");
    case GCodeProblem::tooManyMoves:
        return txt("Main_window", "gcodeZaDuzoRuchow");
    }
    return {};
}

} // namespace

void TfGlowny::mOtworzProgramClick() {
    const std::string patterns = "*.nc;*.ngc;*.gcode;*.tap;*.cnc";
    const auto file = view_.askOpenFileName({txt("Main_window", "wybierzProgram"),
                                             txt("Main_window", "programGCode") + " (" + patterns +
                                                 ")|" + patterns + "|" +
                                                 txt("Universal", "wszystkiePliki") + " (*.*)|*.*",
                                             {},
                                             {},
                                             {}});
    if (file && !file->empty()) openProgramFile(*file);
}

void TfGlowny::openProgramFile(const std::string& file) {
    if (budowanie_.genProcWtoku || closing) return;
    const std::string name = std::filesystem::path(file).stem().string();
    const std::string crlf = "\r\n";
    // A built output of the same name is replaced only when the operator says so.
    std::error_code ec;
    if (std::filesystem::exists(outputFilePath(name), ec) && !readFeedsFile(outputFilePath(name)) &&
        askConfirmation(txt("Main_window", "gcodeZastapicWyjscie") + crlf + name, Buttons::YesNo) !=
            Button::Yes)
        return;
    try {
        std::filesystem::create_directories(outputFilePath(name).parent_path());
        if (importGCodeProgram(file, outputFilePath(name)).figures.empty()) {
            showMessage(file + crlf + txt("Main_window", "gcodeBezSkrawania"), true);
            return;
        }
    } catch (const GCodeRefusal& r) {
        showMessage(file + crlf + txt("Main_window", "gcodeOdrzucony") + crlf +
                        txt("Main_window", "gcodeLinia") + " " + std::to_string(r.lineNumber) +
                        ": " + r.line + crlf + r.word + ": " + problemText(r.problem),
                    true);
        return;
    } catch (const std::exception& e) {
        showMessage(e.what(), true);
        return;
    }
    // The output file last read is now another one.
    if (outputFileName == name) outputFileName.clear();
    refillOutputList();
    const auto it = std::find(outputs_.begin(), outputs_.end(), name);
    if (it != outputs_.end()) lbWyClick(static_cast<int>(it - outputs_.begin()));
}

} // namespace korvane
