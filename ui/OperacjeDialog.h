#pragma once

#include "app/OperacjeDlg.h"

#include <QDialog>

#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The operation dialog's window: the fields of the chosen type, the plot file
// button and the defaults button. The logic is TfOperacjeDlg's.
class OperacjeDialog final : public QDialog, public korvane::OperationDialogView {
    Q_OBJECT
  public:
    // `operation` nullptr: a new operation.
    OperacjeDialog(const korvane::TOperacjaDane* operation, int index, QWidget* parent = nullptr);
    ~OperacjeDialog() override;

    korvane::TfOperacjeDlg& logic() { return *logic_; }

    void showOperationFields() override;
    void focusOperationField(korvane::OperationField field) override;
    std::optional<std::string> askPlotFile(const std::filesystem::path& folder) override;
    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Row {
        QLabel* label = nullptr;
        QWidget* field = nullptr;
    };
    void showRow(korvane::OperationField field, bool shown);

    std::unique_ptr<korvane::TfOperacjeDlg> logic_;
    std::map<korvane::OperationField, Row> rows_;
    QLineEdit* name_ = nullptr;
    QComboBox* type_ = nullptr;
    QComboBox* tool_ = nullptr;
    QLineEdit* plotFile_ = nullptr;
    QPushButton* plotButton_ = nullptr;
    QCheckBox* grouping_ = nullptr;
    QCheckBox* connect_ = nullptr;
    QCheckBox* softEntry_ = nullptr;
    QCheckBox* precise_ = nullptr;
    QCheckBox* automaticLevel_ = nullptr;
    QLineEdit* description_ = nullptr;
};
