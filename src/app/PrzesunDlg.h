#pragma once

#include "app/FltEdit.h"
#include "control/TestMoves.h"

#include <string>
#include <vector>

// The move dialog's logic: a move by numbers in machine or project
// coordinates or relative, the back-and-forth test, and the service panel's
// conveyor sequence with its sum.
namespace korvane {

class MoveDialogView {
  public:
    virtual ~MoveDialogView() = default;
    // Shows the sequence, its selection, the value being edited and the sum.
    virtual void showSequence() = 0;
    virtual void beep() = 0;
    // A key press or a left click waits for the dialog: an endurance test ends.
    virtual bool stopAsked() = 0;
};

class Tprzesun {
  public:
    explicit Tprzesun(MoveDialogView& view);

    void WykonajClick();
    void testClick();
    void btnTasmociagTestClick();

    // The service panel shown or hidden (Ctrl+Shift+Alt+F12).
    void toggleService();

    void lbSekwencjaClick(int index);
    void sbDodajClick();
    void sbUsunClick();
    void sbZatwierdzClick();

    int Przesun = machineCoordinates;
    bool bezosiZ = false;
    FltField delta_x, delta_y, delta_z;
    bool pSerwisVisible = false;
    std::vector<std::string> lbSekwencja = defaultConveyorSequence();
    int selected = -1;
    std::string fePrzesuw;
    std::string eSumaPrzesuwow;

  private:
    MoveVector inputs();
    void recomputeSum();

    MoveDialogView& view_;
};

} // namespace korvane
