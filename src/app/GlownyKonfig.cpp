// The main window's configuration command.
#include "app/Glowny.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"

namespace korvane {

void TfGlowny::mKonfigClick(bool calibrationPage) {
    // The loading, raster and generation threads read the cell size.
    if (budowanie_.genProcWtoku || modelOpening_.loading() || modelOpening_.modelRasterComing() ||
        closing)
        return;
    if (!view_.showConfigurationDialog(calibrationPage) || !resolutionChanged) return;
    budowanie_.rebuildRaster();
    if (project->d.material.zrodlo == materialFile && !project->d.material.plikMaterialu.empty())
        modelOpening_.rebuildStockRaster();
}

} // namespace korvane
