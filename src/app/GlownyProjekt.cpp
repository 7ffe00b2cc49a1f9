// The main window's project commands: new, open, save and save as.
#include "app/Glowny.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryState.h"

namespace korvane {

FileDialogRequest TfGlowny::projectDialog(const std::string& title) const {
    const std::string ext = projectExtension;
    return {title,
            txt("Main_window", "plikProjektu") + " (*." + ext + ")|*." + ext + "|" +
                txt("Universal", "wszystkiePliki") + " (*.*)|*.*",
            ext,
            dataFolder / "Projects",
            {}};
}

void TfGlowny::outputFolderOrEnd() {
    if (createOutputFolder()) return;
    closing = true;
    view_.endProgram();
}

void TfGlowny::projectPathChanged() {
    view_.showStatus(2, settings.plikProjektu);
    outputFolderOrEnd();
}

void TfGlowny::mProjektNowyClick() {
    settings.plikProjektu.clear();
    view_.showStatus(2, "");
    ostDirModelu = std::filesystem::path(modelExtents.plik_RAW).parent_path().string();
    project->Nowy();
    // The check marks always show the project's process.
    operationPane_.showProcess(project->d.lProcesu);
    outputFolderOrEnd();
}

void TfGlowny::mProjektOtworzClick() {
    const auto file = view_.askOpenFileName(projectDialog(txt("Main_window", "wybierzProjekt")));
    if (!file || file->empty()) return;
    const std::string ext = std::string(".") + projectExtension;
    if (!sameText(std::filesystem::path(*file).extension().string(), ext)) return;
    modelExtents.typPliku = modelKindProjectOpened;
    settings.plikProjektu = *file;
    loadProject(*file);
    outputFolderOrEnd();
}

bool TfGlowny::loadProject(const std::string& file) {
    if (!project->PobierzZPliku(file)) return false;
    view_.showStatus(2, file);
    const TProjektDane& d = project->d;
    std::error_code ec;
    if (!d.plikModelu.empty() && !std::filesystem::exists(d.plikModelu, ec)) {
        view_.showStatus(0, "");
        showMessage(txt("Universal", "txtPlikuBrak") + "\r\n" + d.plikModelu, true);
    }
    operationPane_.showProcess(d.lProcesu);
    return true;
}

void TfGlowny::mProjektZapiszClick() {
    if (settings.plikProjektu.empty()) {
        const auto file = view_.askSaveFileName(projectDialog(txt("Main_window", "zapiszProjekt")));
        settings.plikProjektu = file.value_or("");
    }
    if (!settings.plikProjektu.empty() && !project->Zapisz(settings.plikProjektu))
        showMessage(txt("Other", "bladWykonania") + "\r\n" + settings.plikProjektu, true);
    projectPathChanged();
}

void TfGlowny::mProjektZapiszJakoClick() {
    FileDialogRequest request = projectDialog(txt("Main_window", "zapiszProjekt"));
    request.fileName = std::filesystem::path(settings.plikProjektu).filename().string();
    const auto file = view_.askSaveFileName(request);
    if (file && !file->empty()) {
        settings.plikProjektu = *file;
        if (!project->Zapisz(settings.plikProjektu))
            showMessage(txt("Other", "bladWykonania") + "\r\n" + settings.plikProjektu, true);
    }
    projectPathChanged();
}

} // namespace korvane
