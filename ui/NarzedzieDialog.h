#pragma once

#include "app/NarzedzieDlg.h"

#include <QDialog>

#include <map>
#include <memory>

class QComboBox;
class QLineEdit;
class TFltEditU;
class ToolDiagram;
class TRAWview;

// The tool dialog's window: name, type, the five sizes, the diagram of the
// type and the 3D sketch of the tool with its dimension lines (a double click
// toggles them). The logic is
// TfNarzedzieDlg's.
class NarzedzieDialog final : public QDialog, public korvane::ToolDialogView {
    Q_OBJECT
  public:
    // `tool` nullptr: a new tool.
    NarzedzieDialog(const korvane::TFrezDane* tool, int index, QWidget* parent = nullptr);
    ~NarzedzieDialog() override;

    korvane::TfNarzedzieDlg& logic() { return *logic_; }

    void showToolFields() override;
    void focusToolField(korvane::ToolField field) override;
    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::unique_ptr<korvane::TfNarzedzieDlg> logic_;
    QLineEdit* name_ = nullptr;
    QComboBox* type_ = nullptr;
    std::map<korvane::ToolField, QWidget*> fields_;
    TRAWview* sketch_ = nullptr;
    ToolDiagram* diagram_ = nullptr;
};
