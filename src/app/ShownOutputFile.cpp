#include "app/ShownOutputFile.h"

#include "foundation/Messages.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"
#include "output/OldPreview.h"

namespace korvane {

void fitPreviewScaleToModel() {
    const bool modelHasSize = modelSize.x != 0 || modelSize.y != 0;
    previewScale =
        previewScaleFor(modelHasSize ? modelSize : defaultPreviewSize, previewWidth, previewHeight);
}

void readShownOutputFile(const std::filesystem::path& file) {
    fitPreviewScaleToModel();
    if (!outputReader) outputReader = std::make_unique<tWy>();
    outputReader->wyczyscListeFigur();
    outputFileName = file.stem().string();
    try {
        outputReader->wczytajPlik(file, -1);
    } catch (const OutputFileError& e) {
        outputReader->wyczyscListeFigur();
        showMessage(e.what(), true);
    }
    outputPathSmoothing =
        smoothing && outputReader->typOperacji != 3 && outputReader->typOperacji != 4;
}

ShownOutputOperation shownOutputOperation() {
    ShownOutputOperation shown;
    if (!operationLibrary) return shown;
    for (const auto& o : operationLibrary->Lista)
        if (!shown.operation && sameText(o->nazwa, outputFileName)) shown.operation = *o;
    if (!shown.operation) return shown;
    const int tool =
        toolLibrary ? toolLibrary->dajIndxFrezuNaLiscie(shown.operation->narzedzie) : -1;
    if (tool >= 0) shown.tool = *toolLibrary->Lista[static_cast<std::size_t>(tool)];
    return shown;
}

} // namespace korvane
