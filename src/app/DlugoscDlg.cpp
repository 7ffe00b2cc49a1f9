#include "app/DlugoscDlg.h"

#include "control/ToolMeasurement.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"

#include <cstdio>

namespace korvane {

namespace {

const char* const section = "Tool_lenght_dialog";

// Substrate and material height of the project, mm.
double substrate() {
    return project ? static_cast<double>(project->d.material.gruboscPodkladki) : 0;
}

double materialHeight() {
    return project ? static_cast<double>(project->d.material.rozmZ) : 0;
}

std::string millimetres(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

} // namespace

TdlugoscForm::TdlugoscForm(ToolLengthView& view) : view_(view) {
    tool.SetNzwPola(txt(section, "Label1.Caption"));
    tool.setFormat(FloatFormat::fixed, 9, unitDecimals(settings.jednostkaMiary));
    tool.setLimits(0, 1e6);
    tool.changeunit(settings.jednostkaMiary);
}

void TdlugoscForm::FormActivate() {
    const int unit = settings.jednostkaMiary;
    unitLabel =
        "[" + (unit >= 0 && unit < 3 ? unitTable[static_cast<std::size_t>(unit)].skrot : "") + "]";
    pomiarEnabled = !plotstate.info1.starts_with("E");
    if (linkUp()) ReadWorkOrigin();
    tool.SetValue(plotstate.pos0.z / 100.0);
    rgPloterPlytkaPomPolozenie = settings.plytkaPomPolozenie;
    timerEnabled = true;
}

void TdlugoscForm::FormClose() {
    settings.plytkaPomPolozenie = static_cast<std::uint8_t>(rgPloterPlytkaPomPolozenie);
    timerEnabled = false;
}

bool TdlugoscForm::refused() {
    switch (measurementRefusal()) {
    case MeasureRefusal::noLink:
        showMessage(txt("Ploter", "brakLacznosciZploterem"), true,
                    txt(section, "dlugoscForm.Caption"));
        return true;
    case MeasureRefusal::machineBusy:
        showMessage(txt(section, "przedPomiaremZatrzymajPloter"), true);
        return true;
    case MeasureRefusal::none:
        return false;
    }
    return true;
}

void TdlugoscForm::finish() {
    narzedzieZmierzone = true;
    timerEnabled = false;
    view_.closeDialog(true);
}

void TdlugoscForm::pomiarClick() {
    if (refused()) return;
    if (rgPloterPlytkaPomPolozenie < plateOnTable || rgPloterPlytkaPomPolozenie > plateOnMaterial)
        rgPloterPlytkaPomPolozenie = plateOnTable;
    view_.setBusyCursor(true);
    measureAgainstPlate(rgPloterPlytkaPomPolozenie, settings.plytkaPomGrubosc, substrate(),
                        materialHeight(), [this] { return view_.inputPending(); });
    view_.setBusyCursor(false);
    finish();
}

void TdlugoscForm::semiAutomatic(bool onMaterial) {
    if (refused()) return;
    ReadPositions();
    const double z = plotstate.abspos.z;
    sendToolOrigin(onMaterial ? materialSurfaceOrigin(substrate(), materialHeight(), z)
                              : tableOrigin(z));
    finish();
}

void TdlugoscForm::powierzchnia_stoluClick() {
    semiAutomatic(false);
}

void TdlugoscForm::powierzchnia_materialuClick() {
    semiAutomatic(true);
}

bool TdlugoscForm::OKClick() {
    if (const auto problem = tool.floatProblem()) {
        view_.focusTool();
        showMessage(*problem, true);
        return false;
    }
    const double value = tool.GetValue();
    if (value > workArea.z) {
        showMessage(txt(section, "msgZaDuzaDlugoscNarzedzia") + " : " + millimetres(value) +
                        "\n\r" + txt(section, "msgMaxRuchOsiZ") + " : " + millimetres(workArea.z) +
                        "\n\r",
                    true, txt(section, "dlugoscForm.Caption"));
        view_.focusTool();
        return false;
    }
    if (!linkUp()) {
        showMessage(txt("Ploter", "brakLacznosciZploterem"), true,
                    txt(section, "dlugoscForm.Caption"));
        return false;
    }
    sendToolOrigin(roundHalfEven(value * 100));
    finish();
    return true;
}

void TdlugoscForm::TimerAutomatPomiarNarzTimer() {
    if (!timerEnabled || !linkUp()) return;
    if (!machineRequestsMeasurement()) return;
    timerEnabled = false;
    pomiarClick();
}

} // namespace korvane
