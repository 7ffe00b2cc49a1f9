#pragma once

#include "app/FltEdit.h"

#include <QDialog>

// The on-screen numeric keypad: the entered text is its caption; digits, the
// decimal separator, a leading minus, C, CE, OK and Cancel.
class TNumPadForm : public QDialog {
    Q_OBJECT
  public:
    // Large: 298 x 318 pixels with 57 x 57 pixel buttons, for touch screens.
    TNumPadForm(bool big, QWidget* parent = nullptr);

    // At the field's top-left on its screen, kept on the screen.
    void placeOver(QWidget* field);
    const korvane::NumPadEntry& entry() const { return entry_; }

  private:
    void showEntry();

    korvane::NumPadEntry entry_;
};
