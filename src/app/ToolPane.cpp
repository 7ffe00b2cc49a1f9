#include "app/ToolPane.h"

#include "app/Interfejs.h"
#include "app/Messages.h"
#include "app/State.h"

namespace korvane {

void ToolPane::fill() {
    std::vector<std::string> names;
    if (toolLibrary)
        for (const auto& t : toolLibrary->Lista) names.push_back(t->nazwa);
    view_.showTools(names, -1);
    select(-1);
}

void ToolPane::reload() {
    const int previous = selected_;
    toolLibrary->LadujListe();
    fill();
    if (previous >= 0 && static_cast<std::size_t>(previous) < toolLibrary->Lista.size()) {
        std::vector<std::string> names;
        for (const auto& t : toolLibrary->Lista) names.push_back(t->nazwa);
        view_.showTools(names, previous);
        select(previous);
    }
}

void ToolPane::select(int index) {
    const bool valid =
        toolLibrary && index >= 0 && static_cast<std::size_t>(index) < toolLibrary->Lista.size();
    selected_ = valid ? index : -1;
    view_.showToolDescription(valid ? toolLibrary->dajOpisFrezaNaPodstIndeksu(index, false) : "");
    view_.enableToolCommands(valid);
}

void ToolPane::deleteSelected() {
    if (selected_ < 0) return;
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
    if (!deleteFileReported(toolFile(tool.nazwa))) return;
    toolLibrary->UsunFrezZListy(selected_);
    fill();
}

} // namespace korvane
