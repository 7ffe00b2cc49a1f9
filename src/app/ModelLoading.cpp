#include "app/ModelLoading.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "geometry/Raster.h"
#include "import/BMPtoRAW.h"
#include "import/RAWodczytWatek.h"
#include "platform/MainLoop.h"

#include <filesystem>

namespace korvane {

namespace {

ModelLoadOutcome outcome(ModelLoadResult result, std::string readerError = {}) {
    return {result, std::move(readerError)};
}

// Shows "File not found" when there is no file at that path.
bool fileThere(const std::string& file) {
    std::error_code ec;
    if (!file.empty() && std::filesystem::is_regular_file(file, ec)) return true;
    showMessage(txt("Universal", "txtPlikuBrak") + "\r\n" + file, true);
    return false;
}

} // namespace

ModelLoadOutcome loadModelFile(const std::string& file, std::chrono::milliseconds deadline) {
    if (!fileThere(file)) return outcome(ModelLoadResult::missing);
    modelTriangles.clear();
    TRAWodczytWatek loader;
    loader.Inicjuj(&modelTriangles, file, &modelExtents, &modelSize);
    bool ended = false;
    loader.start([&] { ended = true; });
    if (!queueMainLoop().runUntil([&] { return ended; }, deadline)) {
        loader.requestTerminate();
        return outcome(ModelLoadResult::timedOut);
    }
    if (modelTriangles.empty()) {
        // A reader that gave up says why; only a file that holds nothing is
        // called empty.
        const std::string reason = loader.errorText();
        showMessage(reason.empty()
                        ? txt("Other", "zbiorPusty")
                        : txt("Main_window", "modelNieWczytany") + "\r\n" + file + "\r\n" + reason,
                    true);
        return outcome(ModelLoadResult::empty, reason);
    }
    if (!rasterFits(modelSize.x, modelSize.y)) {
        showMessage(txt("Main_window", "modelPozaRastrem") + "\r\n" + file, true);
        modelTriangles.clear();
        return outcome(ModelLoadResult::empty);
    }
    return outcome(ModelLoadResult::loaded);
}

ModelLoadOutcome loadProjectModel(const TProjektDane& project, TRawDoPix& raster,
                                  std::chrono::milliseconds deadline) {
    const std::string& file = project.plikModelu;
    if (isBitmapModel(file)) {
        if (!fileThere(file)) return outcome(ModelLoadResult::missing);
        BitmapRelief relief;
        relief.wysokoscDlaBialego = static_cast<double>(project.BMPwysBialego);
        relief.wysokoscDlaCzarnego = static_cast<double>(project.BMPwysCzarnego);
        relief.Szerokosc = static_cast<double>(project.BMPx);
        relief.wysokosc = static_cast<double>(project.BMPy);
        if (!GenerujPix2D(file, relief)) return outcome(ModelLoadResult::pictureFailed);
        modelExtents.typPliku = modelKindBitmapShown;
        return outcome(ModelLoadResult::loaded);
    }
    ModelLoadOutcome loaded = loadModelFile(file, deadline);
    if (!loaded.ok()) return loaded;
    modelExtents.typPliku = modelKind3D;
    setRasterSizeFromModel();
    rasterReady = false;
    raster.Inicjuj(&modelTriangles, &modelHeights, false, &modelExtents);
    raster.start([&raster] {
        // A raster that failed (no memory for its layers, say) is never taken
        // for a finished one: the person is told, and a generation waiting for
        // it ends instead of building paths over an incomplete raster.
        if (const auto& failure = raster.failure()) {
            showMessage(txt("Other", "bladWykonania") + "\r\n" + txt("Other", "SzczegolyBledu") +
                            *failure,
                        true);
            generationTerminate = true;
            return;
        }
        rasterReady = true;
    });
    return loaded;
}

} // namespace korvane
