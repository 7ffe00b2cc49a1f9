#pragma once

#include <string>
#include <vector>

namespace korvane {
struct TFrezDane;
}

// The tool pane of the main window: the tool library in library order, the
// description of the selected tool, and deleting a tool.
namespace korvane {

class ToolPaneView {
  public:
    virtual ~ToolPaneView() = default;
    // Refills the list; `selected` -1 for none.
    virtual void showTools(const std::vector<std::string>& names, int selected) = 0;
    // The selected tool's description in the list's hint and the detail label.
    virtual void showToolDescription(const std::string& text) = 0;
    virtual void enableToolCommands(bool add, bool editAndDelete) = 0;
    // The tool dialog, modal, for the tool at `index` (nullptr, -1: a new
    // tool); true when it saved the tool.
    virtual bool editTool(const TFrezDane* tool, int index) = 0;
};

class ToolPane {
  public:
    explicit ToolPane(ToolPaneView& view) : view_(view) {}

    // Shows the library (toolLibrary), nothing selected.
    void fill();
    // After a tool was added or edited: reloads the library from its folder,
    // refills the list and selects the same index again.
    void reload();
    // The user selected an entry (-1: none).
    void select(int index);
    // Add and edit (button, Insert, Enter): the tool dialog, then the library
    // again from its folder when it saved.
    void add();
    void edit();
    // Deletes the selected tool unless an operation uses it: after a
    // confirmation, the file first, then the record.
    void deleteSelected();
    // While output is built the library stays as the build took it: add,
    // edit and delete are refused and their commands disabled.
    void setLocked(bool locked);

    int selected() const { return selected_; }

  private:
    ToolPaneView& view_;
    int selected_ = -1;
    bool locked_ = false;
};

} // namespace korvane
