#include "app/OperationPane.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryFile.h"
#include "libraries/LibraryState.h"

namespace korvane {

void OperationPane::show() {
    view_.showOperations(clbOperacje_, selected_);
    enableCommands();
    view_.enableBuild(clbOperacje_.IloscZaznaczonych() > 0);
}

void OperationPane::enableCommands() {
    view_.enableOperationCommands(!locked_, selected_ >= 0 && !locked_);
}

void OperationPane::setLocked(bool locked) {
    locked_ = locked;
    enableCommands();
}

void OperationPane::fill() {
    clbOperacje_.items.clear();
    if (operationLibrary)
        for (const auto& o : operationLibrary->Lista)
            clbOperacje_.items.push_back({o->nazwa, o.get(), CheckState::Unchecked});
    selected_ = -1;
    show();
}

void OperationPane::reload(const std::string& selectName) {
    clbOperacje_.ZapamietajZaznaczone();
    operationLibrary->LadujListe();
    fill();
    clbOperacje_.PrzywrocZaznaczenie();
    for (int i = 0; i < clbOperacje_.count(); ++i)
        if (sameText(clbOperacje_.items[static_cast<std::size_t>(i)].name, selectName))
            selected_ = i;
    show();
}

void OperationPane::select(int index) {
    selected_ = index >= 0 && index < clbOperacje_.count() ? index : -1;
    enableCommands();
}

void OperationPane::add() {
    if (locked_) return;
    if (const auto name = view_.editOperation(nullptr, -1)) reload(*name);
}

void OperationPane::edit() {
    if (selected_ < 0 || locked_) return;
    CheckListEntry& entry = clbOperacje_.items[static_cast<std::size_t>(selected_)];
    // A copy: the library reloads after the dialog.
    const TOperacjaDane operation = *entry.data;
    const auto name = view_.editOperation(&operation, selected_);
    if (!name) return;
    if (*name != entry.name) {
        if (project) {
            // The process names the operation once under its new name, also
            // when it took the name of one it replaced.
            std::vector<std::string> steps;
            bool named = false;
            for (const std::string& step : project->d.lProcesu) {
                if (!sameText(step, entry.name) && !sameText(step, *name)) {
                    steps.push_back(step);
                } else if (!named) {
                    steps.push_back(*name);
                    named = true;
                }
            }
            project->d.lProcesu = std::move(steps);
        }
        entry.name = *name;
    }
    reload(*name);
}

void OperationPane::setChecked(int index, bool checked) {
    if (index < 0 || index >= clbOperacje_.count()) return;
    CheckListEntry& entry = clbOperacje_.items[static_cast<std::size_t>(index)];
    entry.state = checked ? CheckState::Checked : CheckState::Unchecked;
    if (project) {
        if (checked)
            project->DodajDoProcesu(entry.name);
        else
            project->UsunZProcesu(entry.name);
    }
    view_.enableBuild(clbOperacje_.IloscZaznaczonych() > 0);
}

void OperationPane::checkAll() {
    clbOperacje_.WszystkieZaznacz();
    if (project)
        for (const auto& e : clbOperacje_.items) project->DodajDoProcesu(e.name);
    show();
}

void OperationPane::uncheckAll() {
    clbOperacje_.WszystkieWylacz();
    if (project) project->d.lProcesu.clear();
    show();
}

void OperationPane::markGenerating(int index) {
    if (index < 0 || index >= clbOperacje_.count()) return;
    clbOperacje_.items[static_cast<std::size_t>(index)].state = CheckState::Grayed;
    show();
}

void OperationPane::endGeneration() {
    clbOperacje_.WszystkieGrayNaChecked();
    show();
}

void OperationPane::showProcess(const std::vector<std::string>& names) {
    clbOperacje_.WszystkieWylacz();
    const auto remembered = clbOperacje_.lZazn;
    clbOperacje_.lZazn = names;
    clbOperacje_.PrzywrocZaznaczenie();
    clbOperacje_.lZazn = remembered;
    show();
}

void OperationPane::deleteSelected() {
    if (selected_ < 0 || locked_) return;
    const std::string name = clbOperacje_.items[static_cast<std::size_t>(selected_)].name;
    if (askConfirmation(txt("Main_window", "confirmOperDel") + "»" + name + "« ?",
                        Buttons::YesNoCancel) != Button::Yes)
        return;
    if (!deleteLibraryFile(operationsFolder(), name + "." + operationExtension)) return;
    // The operation no longer exists: it leaves the process as well.
    if (project && clbOperacje_.isChecked(selected_)) project->UsunZProcesu(name);
    operationLibrary->UsunOperacjeZListy(selected_);
    clbOperacje_.items.erase(clbOperacje_.items.begin() + selected_);
    selected_ = -1;
    show();
}

} // namespace korvane
