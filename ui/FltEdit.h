#pragma once

#include "app/FltEdit.h"

#include <QAbstractSpinBox>

// The numeric edit fields: a spin edit that shows a korvane::FltField and
// forwards the user's keys, spins, focus changes and keypad entries to it.
// TFltEdit shows a plain field, TFltEditU one kept in millimetres.
class TFltEdit : public QAbstractSpinBox {
    Q_OBJECT
  public:
    TFltEdit(korvane::FltField& field, QWidget* parent = nullptr);

    korvane::FltField& field() { return field_; }
    // Shows the field's text after the logic changed it.
    void refresh();
    // Opens the numeric keypad over the field.
    void openNumPad();

    void stepBy(int steps) override;

  signals:
    // The user changed the value: typing, spinning or the keypad.
    void edited();

  protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    korvane::FltField& field_;
};

// A field of a length or a speed: its FltField keeps millimetres and takes the
// unit of the settings when its dialog sets it up.
class TFltEditU : public TFltEdit {
    Q_OBJECT
  public:
    using TFltEdit::TFltEdit;
};

// With the switch "touchPanel": every numeric field under `form` opens the
// large keypad on one click.
void applyTouchMode(QWidget* form);
