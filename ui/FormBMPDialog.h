#pragma once

#include "app/FormBMP.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;

// The bitmap relief dialog: the picture, the heights for white and black and
// the size of the relief; the rules live in TFormBMP.
class FormBMPDialog final : public QDialog {
    Q_OBJECT
  public:
    FormBMPDialog(korvane::TFormBMP& form, QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The fields from the form, without their change handlers answering.
    void showSize();

    korvane::TFormBMP& form_;
    QLabel* image_ = nullptr;
    QDoubleSpinBox* white_ = nullptr;
    QDoubleSpinBox* black_ = nullptr;
    QDoubleSpinBox* width_ = nullptr;
    QDoubleSpinBox* depth_ = nullptr;
    QCheckBox* proportional_ = nullptr;
    QLabel* link_ = nullptr; // shows that width and depth are linked
};
