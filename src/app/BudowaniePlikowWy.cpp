#include "app/BudowaniePlikowWy.h"

#include "app/OperacjeDlg.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/OperationTypes.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"

#include <algorithm>
#include <optional>

namespace korvane {

namespace {

// For a stock model the raster must hold it as well. The model heights keep
// what the raster thread built (the work layers are rebuilt by every
// generation).
void enlargeRasterForStock() {
    if (project->d.material.zrodlo != materialFile) return;
    rasterSizeX = std::max(rasterSizeX, materialCellsX);
    rasterSizeY = std::max(rasterSizeY, materialCellsY);
    rasterSizeZ = std::max(rasterSizeZ, materialCellsZ);
    allocateRastersKeepingModel();
}

// The cutter of an operation; one that needs none (a print, an outline) gets
// a flat end mill as wide as its line, so that a motion map built for it keeps
// the paths half a line off the part.
TFrezDane toolFor(const TOperacjaDane& oper) {
    if (needsTool(oper.idTyp))
        return *toolLibrary->Lista[size_t(toolLibrary->dajIndxFrezuNaLiscie(oper.narzedzie))];
    TFrezDane line;
    line.typ = toolEndMill;
    line.d1 = line.d3 = oper.warstwaSzer;
    line.h = line.hc = std::max(oper.warstwaGrubosc, oper.warstwaSzer);
    return line;
}

// The finest step a strategy is given, in mm: the output files' resolution.
// A finer one makes no different paths, only endless passes.
constexpr double finestStep = 0.001;

struct StepFault {
    std::string caption; // the field's caption key
    std::string rule;    // what the value must be
};

// The first step an operation's strategy needs that is not above 0 (the
// strategy would make no paths at all) or finer than finestStep.
std::optional<StepFault> badStep(const TOperacjaDane& oper) {
    const OperationGroups g = operationGroups(oper.idTyp);
    const std::pair<bool, std::pair<double, const char*>> steps[] = {
        {g.width, {oper.warstwaSzer, "lSzerokosc.Caption"}},
        {g.depth, {oper.warstwaGrubosc, "lGlebokosc.Caption"}}};
    for (const auto& [needed, step] : steps) {
        if (!needed) continue;
        if (!(step.first > 0)) return StepFault{step.second, "wartoscMusiBycDodatnia"};
        if (step.first < finestStep) return StepFault{step.second, "wartoscZaMala"};
    }
    return std::nullopt;
}

} // namespace

bool TBudowaniePlikowWy::build(std::vector<BuildEntry> entries) {
    if (genProcWtoku) return false;
    // 1. Material.
    if (!project->d.material.complete()) {
        showMessage(txt("Main_window", "zdefiniujMaterial"), false);
        if (!view_.editMaterial() || !project->d.material.complete()) return false;
    }
    // A project file may give a block no machine takes (1e300 mm made the
    // roughing's layers endless).
    if (!project->d.material.withinReach()) {
        showMessage(txt("Main_window", "materialPozaZasiegiem"), true);
        return false;
    }
    enlargeRasterForStock();
    // 2. Saved project.
    if (project->DoZapisu()) {
        showMessage(txt("Main_window", "zapiszProjektTeraz"), false);
        view_.saveProjectAs();
        if (project->DoZapisu()) {
            view_.clearOutputs();
            return false;
        }
    }
    // Every checked operation can make paths; a facing step of 0 would also
    // make the raster's cells 0 wide below.
    for (const auto& e : entries)
        if (e.checked)
            if (const auto fault = badStep(e.oper)) {
                showMessage(txt("Main_window", "operacjaBezSciezek") + " \xC2\xBB" + e.oper.nazwa +
                                "\xC2\xAB\r\n\xC2\xBB" + txt("Operations_dialog", fault->caption) +
                                "\xC2\xAB: " + txt("Main_window", fault->rule),
                            false);
                return false;
            }
    // 3. Raster refinement for facing operations narrower than a cell.
    double p = pixelSize;
    bool refine = false;
    for (const auto& e : entries)
        if (e.checked && e.oper.idTyp == opPlanes && e.oper.warstwaSzer < pixelSize) {
            p = std::min(p, e.oper.warstwaSzer);
            refine = true;
        }
    if (refine) {
        pixelSize = p;
        effectiveResolution = 1 / p;
        rebuildRaster();
        // A stock model's raster follows the new cell size; the build resizes
        // both rasters, so it starts again once they are ready.
        if (project->d.material.zrodlo == materialFile) {
            if (startStockRasterBuild) startStockRasterBuild();
            showMessage(txt("Main_window", "czekajNaRastry"), false);
            return false;
        }
    }
    // 4. Something to build.
    if (std::none_of(entries.begin(), entries.end(), [](const auto& e) { return e.checked; })) {
        showMessage(txt("Main_window", "ZaznaczOperacje"), false);
        return false;
    }
    // 5. Every checked operation has its tool.
    for (const auto& e : entries) {
        if (!e.checked || !needsTool(e.oper.idTyp)) continue;
        const auto& tools = toolLibrary->Lista;
        if (std::none_of(tools.begin(), tools.end(),
                         [&](const auto& t) { return t->id == e.oper.narzedzie; })) {
            showMessage(txt("Main_window", "operacjaBrakFrezu") + " \xC2\xBB" + e.oper.nazwa +
                            "\xC2\xAB ",
                        false);
            return false;
        }
    }
    // The generation waits for the model raster: refuse when none is ready and
    // none is being built, rather than wait for ever.
    if (!settings.printer3D && !rasterReady && !(rasterBuilding && rasterBuilding())) {
        showMessage(txt("Main_window", "brakRastraModelu"), false);
        return false;
    }
    // 6, 7. Roughing count and the material raster.
    roughingCount =
        static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const auto& e) {
            return e.checked && e.oper.idTyp == opRoughing;
        }));
    if (project->d.material.zrodlo == materialFile) {
        enlargeRasterForStock();
        materialCellsX = rasterSizeX;
        materialCellsY = rasterSizeY;
        // The stock model's heights stay; the cells beyond it are zero.
        materialHeights.resizeKeeping(materialCellsX + 1, materialCellsY + 1);
    } else {
        fillMaterialRaster(1000.0f);
    }
    // 8 to 10.
    view_.setBuildCommandsEnabled(false);
    genProcWtoku = true;
    moznaGenKolejneProcesy = true;
    const auto folder = dataFolder / outputFolderName;
    deleteFilesByMask(folder, "*", outputExtension);
    deleteFilesByMask(folder, "*", "bin");
    view_.clearOutputs();
    entries_ = std::move(entries);
    withoutOutput_.clear();
    aktGenerowanyProces = nextChecked(-1);
    startGeneration(aktGenerowanyProces);
    return true;
}

void TBudowaniePlikowWy::abort() {
    moznaGenKolejneProcesy = false;
    if (genProcesow_) genProcesow_->requestTerminate();
}

int TBudowaniePlikowWy::nextChecked(int after) const {
    for (int i = after + 1; i < static_cast<int>(entries_.size()); ++i)
        if (entries_[size_t(i)].checked) return i;
    return -1;
}

void TBudowaniePlikowWy::startGeneration(int entry) {
    const TOperacjaDane& oper = entries_[size_t(entry)].oper;
    view_.generationStarted(entry);
    view_.showStatus(0, oper.nazwa + "...");
    genProcesow_ = std::make_unique<tGenProcesow>(oper, std::make_unique<TFrez>(toolFor(oper)));
    genProcesow_->start([this] { generationEnded(); }, [this] { view_.progressStep(); },
                        [this](const std::string& text) { view_.showStatus(0, text); });
}

void TBudowaniePlikowWy::generationEnded() {
    const GenerationResult result = genProcesow_->result();
    genProcesow_.reset();
    if (!result.error.empty())
        showMessage(txt("Other", "bladWykonania") + "\r\n" + txt("Other", "SzczegolyBledu") +
                        result.error,
                    true);
    if (!result.written) withoutOutput_.push_back(operation(aktGenerowanyProces).nazwa);
    view_.generationEnded(aktGenerowanyProces, result);
    aktGenerowanyProces = nextChecked(aktGenerowanyProces);
    if (aktGenerowanyProces < 0 || !moznaGenKolejneProcesy) {
        aktGenerowanyProces = -1;
        view_.showStatus(0, endStatus());
        view_.showStatus(1, "");
        genProcWtoku = false;
        view_.setBuildCommandsEnabled(true);
        view_.buildEnded();
        if (settings.powiadomKoniecGenWy)
            notifyNetSend(settings.netSendOdbiorca,
                          std::string(applicationTitle) + " : " + txt("Other", "koniecGenWy"));
        view_.beep();
        return;
    }
    startGeneration(aktGenerowanyProces);
    OstatnioGenerowanyProces = aktGenerowanyProces;
}

std::string TBudowaniePlikowWy::endStatus() const {
    if (!moznaGenKolejneProcesy) return txt("Main_window", "budowaniePrzerwane");
    if (withoutOutput_.empty()) return txt("Main_window", "ProcesyWyjscioweKoniec");
    std::string text = txt("Main_window", "brakPlikuWyOperacji");
    for (std::size_t i = 0; i < withoutOutput_.size(); ++i)
        text += (i == 0 ? " \xC2\xBB" : ", \xC2\xBB") + withoutOutput_[i] + "\xC2\xAB";
    return text;
}

void TBudowaniePlikowWy::rebuildRaster() {
    // A bitmap relief is sampled again at the new cell size by the model side.
    if (modelExtents.typPliku == modelKindBitmap || modelExtents.typPliku == modelKindBitmapShown) {
        if (startRasterBuild) startRasterBuild();
        return;
    }
    if (modelExtents.typPliku != modelKind3D) return;
    view_.setBuildCommandsEnabled(false);
    rasterSizeX = static_cast<int>(roundHalfEven(modelSize.x / pixelSize + 1));
    rasterSizeY = static_cast<int>(roundHalfEven(modelSize.y / pixelSize + 1));
    rasterSizeZ =
        static_cast<int>(std::max(roundHalfEven((project->d.material.rozmZ + 10) / pixelSize),
                                  roundHalfEven((modelSize.z + 10) / pixelSize)));
    rasterReady = false;
    if (startRasterBuild) startRasterBuild();
    const auto folder = dataFolder / outputFolderName;
    deleteFilesByMask(folder, "*", outputExtension);
    deleteFilesByMask(folder, "*", "bin");
    view_.clearOutputs();
    view_.setBuildCommandsEnabled(true);
    resolutionChanged = false;
}

} // namespace korvane
