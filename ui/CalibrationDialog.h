#pragma once

#include "app/CalibrationDlg.h"

#include <QDialog>

#include <array>

class QLabel;
class TFltEdit;

// The calibration dialog's window: given and realized distances per axis and
// the factors they give. The logic is TCalibration's.
class CalibrationDialog final : public QDialog, public korvane::CalibrationView {
    Q_OBJECT
  public:
    explicit CalibrationDialog(QWidget* parent = nullptr);
    korvane::TCalibration& logic() { return logic_; }

    void showCalibration() override;
    void focusCalibrationField(korvane::CalibrationField field) override;
    void closeDialog(bool accepted) override;

  private:
    korvane::TCalibration logic_;
    std::array<TFltEdit*, 6> edits_{};
    std::array<QLabel*, 3> factors_{};
};
