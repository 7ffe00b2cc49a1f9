#pragma once

#include "output/DaneWyjsciowe.h"

#include <optional>

// The start-point dialog's logic: a point over the material where the job
// enters the read output's figures, typed or taken from the machine.
namespace korvane {

class TfPktStartDlg {
  public:
    // The Z takes part except for hatching outputs; each coordinate at most
    // the material's size on its axis.
    TfPktStartDlg();

    // OK: the start point nearest to (x, y, z) becomes the program's start
    // figure and point; false, the dialog staying open, for the point 0, 0, 0.
    bool btnZapiszClick();
    // The current machine position taken into the chosen coordinates (z only
    // with zZetem); false, with a message, when the machine is not reachable
    // or the tool does not stand over the material.
    bool takeCurrent(bool takeX, bool takeY, bool takeZ);
    // Presets the point to point `point` of figure `figure` of the read
    // output: OK with the point as preset starts exactly there, not at the
    // search's segment one back. False, nothing preset, for a point the
    // output does not hold.
    bool preset(StartPoint at);

    bool zZetem = true;
    double maxX = 0, maxY = 0, maxZ = 0;
    double x = 0, y = 0, z = 0; // mm from the work origin; z the material surface

  private:
    std::optional<StartPoint> preset_;
    double presetX_ = 0, presetY_ = 0, presetZ_ = 0;
};

} // namespace korvane
