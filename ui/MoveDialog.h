#pragma once

#include "app/PrzesunDlg.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QWidget;

// The move dialog's window: the mode, the three distances, the back-and-forth
// test, and the hidden service panel with the conveyor sequence. The logic is
// Tprzesun's.
class MoveDialog final : public QDialog, public korvane::MoveDialogView {
    Q_OBJECT
  public:
    explicit MoveDialog(QWidget* parent = nullptr);
    korvane::Tprzesun& logic() { return logic_; }

    void showSequence() override;
    void beep() override;
    bool stopAsked() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void runTest(void (korvane::Tprzesun::*test)());

    korvane::Tprzesun logic_;
    QRadioButton* modes_[3] = {};
    QCheckBox* withoutZ_ = nullptr;
    QWidget* service_ = nullptr;
    QListWidget* sequence_ = nullptr;
    QLineEdit* value_ = nullptr;
    QLabel* sum_ = nullptr;
    bool stop_ = false;
};
