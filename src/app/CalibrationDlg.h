#pragma once

#include "app/FltEdit.h"

#include <array>
#include <string>

// The calibration dialog's logic: for each axis the distance the machine was
// told to move and the one it really moved give the axis's factor.
namespace korvane {

enum class CalibrationField { givenX, givenY, givenZ, realizedX, realizedY, realizedZ };

class CalibrationView {
  public:
    virtual ~CalibrationView() = default;
    // Shows the six distances and the three factors.
    virtual void showCalibration() = 0;
    virtual void focusCalibrationField(CalibrationField field) = 0;
    virtual void closeDialog(bool accepted) = 0;
};

class TCalibration {
  public:
    explicit TCalibration(CalibrationView& view);

    // The factors in use, the given distances from the travel, the realized
    // ones from them.
    void FormActivate();
    // One of the six distances changed.
    void recompute();
    // Every field must hold a value; the factors are stored and the dialog closes.
    bool btnSetClick();
    // Back to 1, stored; the dialog stays open.
    void cmdRemoveCalibClick();

    // Given (0..2) and realized (3..5) distances in the user's unit.
    std::array<FltField, 6> distances{FltField(true), FltField(true), FltField(true),
                                      FltField(true), FltField(true), FltField(true)};
    std::array<double, 3> factors{1, 1, 1}; // calX, calY, calZ
    std::array<std::string, 3> factorTexts;
    bool recalc = false;

  private:
    void realizedFromGiven();
    void showFactors();

    CalibrationView& view_;
    std::array<double, 3> inUse_{1, 1, 1};
};

// The longest given distance of an axis of `travel` mm: whole units, at most
// 1000 mm, 40 in or 3 ft; in millimetres.
double givenDistance(double travel, int unit);

} // namespace korvane
