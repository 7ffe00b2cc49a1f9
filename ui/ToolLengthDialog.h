#pragma once

#include "app/DlugoscDlg.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;
class QRadioButton;
class TFltEdit;

// The tool length dialog's window: the plate's position with the automatic
// measurement, the semi-automatic buttons and the manual distance. The logic
// is TdlugoscForm's; its timer ticks while the dialog is shown.
class ToolLengthDialog final : public QDialog, public korvane::ToolLengthView {
    Q_OBJECT
  public:
    explicit ToolLengthDialog(QWidget* parent = nullptr);
    korvane::TdlugoscForm& logic() { return logic_; }

    void closeDialog(bool accepted) override;
    void focusTool() override;
    void setBusyCursor(bool busy) override;
    bool inputPending() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    korvane::TdlugoscForm logic_;
    QTimer timer_;
    QRadioButton* plate_[3] = {};
    QPushButton* pomiar_ = nullptr;
    TFltEdit* tool_ = nullptr;
    QLabel* unit_ = nullptr;
    bool keyPressed_ = false;
};

// Opens the dialog modally over `parent`; true when the tool was measured.
bool measureToolInWindow(QWidget* parent);
