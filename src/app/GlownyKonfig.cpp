// The main window's configuration and material commands: both change the
// raster's layers, which the loading, raster and generation threads use.
#include "app/Glowny.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "machine/MachineLinks.h"

namespace korvane {

bool TfGlowny::rasterInUse() const {
    return budowanie_.genProcWtoku || modelOpening_.loading() ||
           modelOpening_.modelRasterComing() || closing;
}

void TfGlowny::mKonfigClick(bool calibrationPage) {
    // The loading, raster and generation threads read the cell size.
    if (rasterInUse()) return;
    if (!view_.showConfigurationDialog(calibrationPage)) return;
    followEthernetSettings();
    if (!resolutionChanged) return;
    budowanie_.rebuildRaster();
    if (project->d.material.zrodlo == materialFile && !project->d.material.plikMaterialu.empty())
        modelOpening_.rebuildStockRaster();
}

void TfGlowny::mMaterialClick() {
    // The material dialog reallocates the raster's layers.
    if (rasterInUse()) return;
    editMaterial();
}

} // namespace korvane
