#pragma once

#include <QDialog>

// The machine information dialog: what the machine reports about itself and
// the calibration factors in use; a double click on the factors opens the
// calibration where the switches allow it.
class MachineAboutDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit MachineAboutDialog(QWidget* parent = nullptr);

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QWidget* calibration_ = nullptr;
};
