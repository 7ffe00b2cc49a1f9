#pragma once

#include "app/CheckListBoxExt.h"

#include <optional>
#include <string>
#include <vector>

// The operation pane of the main window: the operation library as a check
// list whose check marks are the project's process, and deleting an operation.
namespace korvane {

class OperationPaneView {
  public:
    virtual ~OperationPaneView() = default;
    // Shows every entry with its name and check state; `selected` -1 for none.
    virtual void showOperations(const TCheckListBoxExt& list, int selected) = 0;
    virtual void enableOperationCommands(bool add, bool editAndDelete) = 0;
    // The build command: enabled while at least one operation is checked.
    virtual void enableBuild(bool enabled) = 0;
    // The operation dialog, modal, for the operation at `index` (nullptr, -1:
    // a new one); the name it saved under, nullopt when it saved nothing.
    virtual std::optional<std::string> editOperation(const TOperacjaDane* operation, int index) = 0;
};

class OperationPane {
  public:
    explicit OperationPane(OperationPaneView& view) : view_(view) {}

    // Shows the library (operationLibrary), nothing checked or selected.
    void fill();
    // After an operation was added or edited: reloads the library, keeps the
    // check marks by name and selects the last entry named `selectName`.
    void reload(const std::string& selectName);
    // The user selected an entry (-1: none).
    void select(int index);
    // Add and edit (button, Insert, Enter): the operation dialog, then the
    // library again. A renamed operation keeps its check mark and its place
    // in the project's process under the new name.
    void add();
    void edit();
    // The user checked or unchecked an entry: the project's process follows.
    void setChecked(int index, bool checked);
    void checkAll();
    void uncheckAll();
    // Shows a project's process: exactly the operations named in it are checked.
    void showProcess(const std::vector<std::string>& names);
    // The build marks the entry being generated grey; at its end every grey
    // mark is checked again.
    void markGenerating(int index);
    void endGeneration();
    // After a confirmation, deletes the selected operation's file, and only then
    // its record and entry.
    void deleteSelected();
    // While output is built the list stays as the build took it: add, edit
    // and delete are refused and their commands disabled.
    void setLocked(bool locked);

    const TCheckListBoxExt& list() const { return clbOperacje_; }
    int selected() const { return selected_; }

  private:
    void show();
    void enableCommands();

    OperationPaneView& view_;
    TCheckListBoxExt clbOperacje_;
    int selected_ = -1;
    bool locked_ = false;
};

} // namespace korvane
