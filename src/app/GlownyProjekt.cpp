// The main window's project commands: new, open, save and save as.
#include "app/Glowny.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
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
    modelOpening_.ostDirModelu =
        std::filesystem::path(modelExtents.plik_RAW).parent_path().string();
    project->Nowy();
    // The model stays loaded for the new project; only its view is emptied.
    view_.clearModelView();
    // The check marks always show the project's process.
    operationPane_.showProcess(project->d.lProcesu);
    outputFolderOrEnd();
    clearOutputs();
}

void TfGlowny::mProjektOtworzClick() {
    const auto file = view_.askOpenFileName(projectDialog(txt("Main_window", "wybierzProjekt")));
    if (file && !file->empty()) openProjectFile(*file);
}

void TfGlowny::openProjectFile(const std::string& file) {
    if (modelFileKind(file) != fileKindProject) return;
    modelExtents.typPliku = modelKindProjectOpened;
    // The whole path, however long: a cut one would name another file. The
    // settings file leaves out a path too long for its field.
    settings.plikProjektu = file;
    loadProject(file);
    outputFolderOrEnd();
    refillOutputList();
}

std::string TfGlowny::besideProject(const std::string& file, const std::string& projectFile) {
    const std::filesystem::path path = file;
    std::error_code ec;
    if (file.empty() || path.is_absolute() || std::filesystem::exists(path, ec)) return file;
    return (std::filesystem::path(projectFile).parent_path() / path).string();
}

bool TfGlowny::loadProject(const std::string& file) {
    if (!project->PobierzZPliku(file)) return false;
    view_.showStatus(2, file);
    const TProjektDane& d = project->d;
    // A model named relative to the project is looked for beside it.
    const std::string model = besideProject(d.plikModelu, file);
    if (!model.empty()) {
        std::error_code ec;
        const int kind = modelFileKind(model);
        if (!std::filesystem::is_regular_file(model, ec)) {
            modelOpening_.clearModel();
            showMessage(txt("Universal", "txtPlikuBrak") + "\r\n" + model, true);
        } else if (kind == fileKindBmp || kind == fileKindJpg) {
            TProjektDane picture = d;
            picture.plikModelu = model;
            modelOpening_.openProjectPicture(picture);
        } else if (is3DModel(kind)) {
            modelExtents.typPliku = modelKind3D;
            modelOpening_.OtworzPlikRAW(model);
        }
    }
    if (d.material.zrodlo == materialFile)
        modelOpening_.openStockModel(besideProject(d.material.plikMaterialu, file));
    // A project without a process leaves the check marks as they are.
    if (!d.lProcesu.empty()) operationPane_.showProcess(d.lProcesu);
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
    refillOutputList();
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
    refillOutputList();
}

} // namespace korvane
