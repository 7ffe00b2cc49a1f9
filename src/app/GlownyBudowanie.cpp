// The main window's side of building output files: the build and abort
// commands, what the chain shows, the output list and an output's parameters.
#include "app/Glowny.h"
#include "app/ShownOutputFile.h"
#include "app/WyLista.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"

namespace korvane {

void TfGlowny::sbBudujPlikiWyClick() {
    if (budowanie_.genProcWtoku || modelOpening_.loading() || closing) return;
    // The build resizes the raster layers for a stock model and refills the
    // material layer: no raster thread may be writing them then.
    if (modelOpening_.stockComing() ||
        (project->d.material.zrodlo == materialFile && modelOpening_.modelRasterComing())) {
        showMessage(txt("Main_window", "czekajNaRastry"), false);
        return;
    }
    // One entry per list entry, so that the chain's indexes are the list's.
    std::vector<BuildEntry> entries;
    for (const CheckListEntry& e : operationPane_.list().items)
        entries.push_back(
            {e.data ? *e.data : TOperacjaDane{}, e.data && e.state != CheckState::Unchecked});
    budowanie_.build(std::move(entries));
}

void TfGlowny::sbProcesPrzerwijClick() {
    budowanie_.abort();
}

bool TfGlowny::editMaterial() {
    const auto stockChanged = view_.showMaterialDialog(modelExtents);
    if (!stockChanged) return false;
    if (*stockChanged && !project->d.material.plikMaterialu.empty())
        modelOpening_.openStockModel(project->d.material.plikMaterialu);
    return true;
}

void TfGlowny::saveProjectAs() {
    mProjektZapiszJakoClick();
}

void TfGlowny::setBuildCommandsEnabled(bool enabled) {
    view_.setBuildCommandsEnabled(enabled);
}

void TfGlowny::showStatus(int panel, const std::string& text) {
    view_.showStatus(panel, text);
}

void TfGlowny::clearOutputs() {
    outputs_.clear();
    showOutputList(-1);
}

void TfGlowny::generationStarted(int entry) {
    // The build took its operations and tools when it started: the panes may
    // not change them until it ends.
    toolPane_.setLocked(true);
    operationPane_.setLocked(true);
    fitPreviewScaleToModel();
    operationPane_.markGenerating(entry);
    progress_ = 0;
    view_.showProgress(progress_);
}

void TfGlowny::progressStep() {
    if (budowanie_.genProcWtoku) view_.showProgress(++progress_);
}

void TfGlowny::generationEnded(int entry, const GenerationResult& result) {
    view_.showProgress(-1);
    // An operation listed without a file (it made no figures) shows an empty
    // preview; one that failed is not listed.
    if (result.written || result.noFigures) {
        outputs_.push_back(budowanie_.operation(entry).nazwa);
        view_.showOutputs(outputs_, -1);
    }
}

void TfGlowny::buildEnded() {
    toolPane_.setLocked(false);
    operationPane_.setLocked(false);
    operationPane_.endGeneration();
    lbWyClick(outputs_.empty() ? -1 : 0);
}

void TfGlowny::beep() {
    view_.beepThreeTimes();
}

void TfGlowny::refillOutputList() {
    const TListaWy list;
    outputs_.clear();
    for (const auto& e : list.Lista) outputs_.push_back(e->nazwa);
    showOutputList(-1);
}

void TfGlowny::showOutputList(int selected) {
    selectedOutput_ = selected;
    view_.showOutputs(outputs_, selected);
    if (selected < 0) view_.showOutputFile({});
}

void TfGlowny::lbWyClick(int index) {
    if (index < 0 || index >= static_cast<int>(outputs_.size())) {
        showOutputList(-1);
        return;
    }
    showOutputList(index);
    view_.showOutputFile(dataFolder / outputFolderName /
                         (outputs_[static_cast<std::size_t>(index)] + "." + outputExtension));
}

void TfGlowny::pmParPlikuWyClick() {
    if (selectedOutput_ < 0 || !outputReader) return;
    const std::string& name = outputs_[static_cast<std::size_t>(selectedOutput_)];
    const TOperacjaDane* oper = nullptr;
    for (const CheckListEntry& e : operationPane_.list().items)
        if (!oper && e.data && sameText(e.name, name)) oper = e.data;
    const OutputParameters p =
        outputParameters(outputReader->dl_sciezki_narz,
                         static_cast<int>(outputReader->ListaFigur.size()), sharpCornerCount, oper);
    showMessage(p.body, false, txt("Main_window", "pmiParPlikuWy.Caption"));
}

void TfGlowny::pmiZapiszJakoClick(const std::string& extension) {
    if (selectedOutput_ < 0) return;
    // Beside the output files in the data folder: the program's own folder may
    // not be writable.
    const std::filesystem::path file =
        dataFolder / outputFolderName /
        (outputs_[static_cast<std::size_t>(selectedOutput_)] + "." + extension);
    if (view_.saveOldPreview(file))
        showMessage("Saved to : " + file.string(), false);
    else
        showMessage(txt("Other", "bladWykonania") + "\r\n" + file.string(), true);
}

} // namespace korvane
