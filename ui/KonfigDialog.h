#pragma once

#include "app/Konfig.h"

#include <QDialog>

#include <map>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

// The configuration dialog's window: the pages general, machine,
// notifications and calibration. The logic is TfKonfig's.
class KonfigDialog final : public QDialog, public korvane::ConfigurationDialogView {
    Q_OBJECT
  public:
    explicit KonfigDialog(bool calibrationPage, QWidget* parent = nullptr);
    ~KonfigDialog() override;

    korvane::TfKonfig& logic() { return *logic_; }

    void showConfigFields() override;
    void showConfigPage(korvane::ConfigPage page) override;
    void focusConfigField(korvane::ConfigField field) override;
    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::unique_ptr<korvane::TfKonfig> logic_;
    QTabWidget* pages_ = nullptr;
    std::map<korvane::ConfigPage, QWidget*> pageWidgets_;
    std::map<korvane::ConfigField, QWidget*> fields_;
    QRadioButton* units_[3] = {};
    QCheckBox* coupled_ = nullptr;
    QCheckBox* printer_ = nullptr;
    QLabel* plateLabel_ = nullptr;
    QGroupBox* ipGroup_ = nullptr;
    QCheckBox* ethernet_ = nullptr;
    QCheckBox* notifyBuild_ = nullptr;
    QCheckBox* notifyJob_ = nullptr;
    QLineEdit* recipient_ = nullptr;
    QGroupBox* service_ = nullptr;
    QCheckBox* smoothing_ = nullptr;
    QCheckBox* log_ = nullptr;
};

// Shows the configuration dialog modally; after a saved dialog a changed
// acceleration goes to the machine. True when it saved.
bool openConfiguration(QWidget* parent, bool calibrationPage);
