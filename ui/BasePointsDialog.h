#pragma once

#include "app/PunktyBazoweDlg.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class TFltEdit;

// The base-points dialog's window: the project zero typed, taken from the
// machine or picked from the named points. The logic is TPunkty_bazowe's.
class BasePointsDialog final : public QDialog, public korvane::BasePointsView {
    Q_OBJECT
  public:
    explicit BasePointsDialog(QWidget* parent = nullptr);
    ~BasePointsDialog() override;
    korvane::TPunkty_bazowe& logic() { return logic_; }

    void showBasePoints() override;
    void closeDialog(bool accepted) override;
    void focusBasePointField(bool y) override;

  private:
    korvane::TPunkty_bazowe logic_;
    TFltEdit* x_ = nullptr;
    TFltEdit* y_ = nullptr;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* remove_ = nullptr;
};

// Opens the dialog; on OK the chosen point becomes the project zero ("U").
void chooseBasePointInWindow(QWidget* parent);
