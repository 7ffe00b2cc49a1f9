// The main window's model commands and files dropped on the window.
#include "app/Glowny.h"
#include "foundation/State.h"
#include "import/GCodeReader.h"

namespace korvane {

void TfGlowny::mModelOtworzClick() {
    modelOpening_.openModelDialog({});
}

void TfGlowny::mModelOtworzPrzykladyClick() {
    modelOpening_.openModelDialog(exeFolder / "Samples");
}

void TfGlowny::openDroppedFile(const std::string& file) {
    // Nothing opens while outputs are built or a model loads, as with the
    // commands, which are disabled then.
    if (budowanie_.genProcWtoku || modelOpening_.loading() || closing) return;
    if (modelFileKind(file) == fileKindProject)
        openProjectFile(file);
    else if (isGCodeFile(file))
        openProgramFile(file);
    else
        modelOpening_.openModelFile(file);
}

} // namespace korvane
