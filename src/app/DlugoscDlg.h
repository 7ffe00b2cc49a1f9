#pragma once

#include "app/FltEdit.h"

#include <string>

// The tool length dialog's logic: the plate's position, the automatic,
// semi-automatic and manual ways to set the work origin's Z, and the timer
// through which the machine asks for a measurement.
namespace korvane {

class ToolLengthView {
  public:
    virtual ~ToolLengthView() = default;
    // Closes the dialog (accepted or not).
    virtual void closeDialog(bool accepted) = 0;
    virtual void focusTool() = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // A key press or a command for the dialog waits: the automatic measurement
    // stops the tool where it is.
    virtual bool inputPending() = 0;
};

class TdlugoscForm {
  public:
    explicit TdlugoscForm(ToolLengthView& view);

    // The dialog is shown: the unit, the origin's distance, the plate position
    // and whether the automatic measurement is offered; the timer runs.
    void FormActivate();
    // The plate position goes back to the settings; the timer stops.
    void FormClose();

    void pomiarClick();
    void powierzchnia_stoluClick();
    void powierzchnia_materialuClick();
    // Manual entry; false when refused (the dialog stays open).
    bool OKClick();
    // One tick of the 100 ms timer while the dialog is shown.
    void TimerAutomatPomiarNarzTimer();

    FltField tool{true};
    int rgPloterPlytkaPomPolozenie = 0;
    bool pomiarEnabled = true;
    bool timerEnabled = false;
    bool narzedzieZmierzone = false;
    std::string unitLabel; // "[mm]"

  private:
    bool refused();
    void semiAutomatic(bool onMaterial);
    void finish();

    ToolLengthView& view_;
};

} // namespace korvane
