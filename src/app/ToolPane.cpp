#include "app/ToolPane.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "libraries/LibraryFile.h"
#include "libraries/LibraryState.h"

namespace korvane {

namespace {

std::vector<std::string> toolNames() {
    std::vector<std::string> names;
    if (toolLibrary)
        for (const auto& t : toolLibrary->Lista) names.push_back(t->nazwa);
    return names;
}

} // namespace

void ToolPane::fill() {
    view_.showTools(toolNames(), -1);
    select(-1);
}

void ToolPane::reload() {
    toolLibrary->LadujListe();
    const auto names = toolNames();
    const int index = selected_ < static_cast<int>(names.size()) ? selected_ : -1;
    view_.showTools(names, index);
    select(index);
}

void ToolPane::select(int index) {
    const bool valid =
        toolLibrary && index >= 0 && static_cast<std::size_t>(index) < toolLibrary->Lista.size();
    selected_ = valid ? index : -1;
    view_.showToolDescription(valid ? toolLibrary->dajOpisFrezaNaPodstIndeksu(index, false) : "");
    view_.enableToolCommands(!locked_, valid && !locked_);
}

void ToolPane::setLocked(bool locked) {
    locked_ = locked;
    select(selected_);
}

void ToolPane::add() {
    if (!locked_ && view_.editTool(nullptr, -1)) reload();
}

void ToolPane::edit() {
    if (selected_ < 0 || locked_) return;
    // A copy: the dialog outlives no record, but the library reloads after it.
    const TFrezDane tool = *toolLibrary->Lista[static_cast<std::size_t>(selected_)];
    if (view_.editTool(&tool, selected_)) reload();
}

void ToolPane::deleteSelected() {
    if (selected_ < 0 || locked_) return;
    const TFrezDane& tool = *toolLibrary->Lista[static_cast<std::size_t>(selected_)];
    if (operationLibrary)
        for (const auto& o : operationLibrary->Lista)
            if (o->narzedzie == tool.id) {
                showMessage(txt("Main_window", "nieMoznaUsunacFrezu") + " »" + tool.nazwa + "« " +
                                "\n\r" + txt("Main_window", "frezUzywanyWoperacji") + " »" +
                                o->nazwa + "« ",
                            false);
                return;
            }
    if (askConfirmation(txt("Main_window", "confirmToolDel") + "»" + tool.nazwa + "« ?",
                        Buttons::YesNoCancel) != Button::Yes)
        return;
    if (!deleteLibraryFile(toolsFolder(), tool.nazwa + "." + toolExtension)) return;
    toolLibrary->UsunFrezZListy(selected_);
    fill();
}

} // namespace korvane
