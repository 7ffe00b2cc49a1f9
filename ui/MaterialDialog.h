#pragma once

#include "app/MaterialDlg.h"

#include <QDialog>

#include <map>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The material dialog's window: the source, the block's dimensions, the
// coating, the stock file and the pad. The logic is TfMaterialDlg's.
class MaterialDialog final : public QDialog, public korvane::MaterialDialogView {
    Q_OBJECT
  public:
    MaterialDialog(const korvane::TModel& model, QWidget* parent = nullptr);
    ~MaterialDialog() override;

    korvane::TfMaterialDlg& logic() { return *logic_; }

    void showMaterialFields() override;
    void focusMaterialField(korvane::MaterialField field) override;
    std::optional<std::string> askStockFile(const std::string& title, const std::string& filter,
                                            const std::filesystem::path& folder) override;
    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::unique_ptr<korvane::TfMaterialDlg> logic_;
    QRadioButton* sources_[3] = {};
    std::map<korvane::MaterialField, QWidget*> fields_;
    QLineEdit* file_ = nullptr;
    QPushButton* fileButton_ = nullptr;
    QPushButton* modelSize_ = nullptr;
};
