#include "app/CalibrationDlg.h"

#include "control/MachineCalibration.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "machine/MachineState.h"

#include <algorithm>
#include <cmath>

namespace korvane {

double givenDistance(double travel, int unit) {
    const double inUnit = std::trunc(travel / unitFactor(unit));
    const double largest = unit == unitInch ? 40 : unit == unitFoot ? 3 : 1000;
    return std::min(inUnit, largest) * unitFactor(unit);
}

TCalibration::TCalibration(CalibrationView& view) : view_(view) {
    for (FltField& f : distances) {
        f.setFormat(FloatFormat::fixed, 9, unitDecimals(settings.jednostkaMiary));
        f.changeunit(settings.jednostkaMiary);
    }
}

void TCalibration::realizedFromGiven() {
    // The realized distance shown in the user's unit, to 0.01.
    const double unit = unitFactor(settings.jednostkaMiary);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const double given = distances[axis].GetValue() / unit;
        distances[axis + 3].SetValue(std::round(given * factors[axis] * 100) / 100 * unit);
    }
}

void TCalibration::FormActivate() {
    recalc = false;
    inUse_ = {calX, calY, calZ};
    factors = inUse_;
    const double travel[3] = {workArea.x, workArea.y, workArea.z};
    for (std::size_t axis = 0; axis < 3; ++axis)
        distances[axis].SetValue(givenDistance(travel[axis], settings.jednostkaMiary));
    realizedFromGiven();
    recalc = true;
    recompute();
}

void TCalibration::showFactors() {
    for (std::size_t axis = 0; axis < 3; ++axis) factorTexts[axis] = calibrationText(factors[axis]);
    view_.showCalibration();
}

void TCalibration::recompute() {
    if (!recalc) return;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const FltField& given = distances[axis];
        const FltField& realized = distances[axis + 3];
        factors[axis] =
            given.text().empty() || realized.text().empty()
                ? 1
                : calibrationFactor(given.GetValue(), realized.GetValue(), inUse_[axis]);
    }
    showFactors();
}

bool TCalibration::btnSetClick() {
    const CalibrationField order[] = {CalibrationField::givenX, CalibrationField::realizedX,
                                      CalibrationField::givenY, CalibrationField::realizedY,
                                      CalibrationField::givenZ, CalibrationField::realizedZ};
    for (CalibrationField field : order) {
        if (!distances[static_cast<std::size_t>(field)].text().empty()) continue;
        showMessage(txt("Form_Calibration", "msgInvalidValue"), true);
        view_.focusCalibrationField(field);
        return false;
    }
    recompute();
    storeCalibration(factors[0], factors[1], factors[2]);
    view_.closeDialog(true);
    return true;
}

void TCalibration::cmdRemoveCalibClick() {
    factors = {1, 1, 1};
    storeCalibration(1, 1, 1);
    inUse_ = {calX, calY, calZ};
    recalc = false;
    realizedFromGiven();
    recalc = true;
    recompute();
}

} // namespace korvane
