#include "app/PathExportCommands.h"

#include "foundation/Messages.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"
#include "output/PathExport.h"

#include <stdexcept>

namespace korvane {

namespace {

template <typename Write>
void exportPaths(MainWindowView& view, FileDialogRequest request, Write write) {
    if (!canExportPaths()) return;
    request.initialFolder = exeFolder;
    const auto name = view.askSaveFileName(request);
    if (!name) return;
    try {
        write(*name);
    } catch (const std::exception& e) {
        showMessage(e.what(), true);
    }
}

const TOperacjaDane* shownOperation() {
    if (!operationLibrary) return nullptr;
    for (const auto& o : operationLibrary->Lista)
        if (sameText(o->nazwa, outputFileName)) return o.get();
    return nullptr;
}

} // namespace

bool canExportPaths() {
    return outputReader && !outputReader->ListaFigur.empty();
}

void exportHpglCommand(MainWindowView& view) {
    exportPaths(view,
                {"Save output file as HPGL.plt",
                 "HPGL.plt (*.plt)|*.plt|all files (*.*)|*.*",
                 "plt",
                 {},
                 {}},
                [](const std::string& name) { ZapiszHpgl(outputReader->ListaFigur, name); });
}

void exportDxfCommand(MainWindowView& view) {
    exportPaths(view,
                {"Save output file as DXF", "DXF (*.dxf)|*.dxf|all files (*.*)|*.*", "dxf", {}, {}},
                [](const std::string& name) {
                    ZapiszDXF(outputReader->ListaFigur, name, settings.jednostkaMiary);
                });
}

void exportGCodeCommand(MainWindowView& view, GCodeDialect dialect) {
    if (!canExportPaths()) return;
    const TOperacjaDane* operation = shownOperation();
    if (!operation) {
        showMessage("No operation named " + outputFileName + " in the library", true);
        return;
    }
    exportPaths(view,
                {dialect == GCodeDialect::grbl ? "Save output file as GRBL G-code"
                                               : "Save output file as LinuxCNC G-code",
                 "G-code (*.nc)|*.nc|all files (*.*)|*.*",
                 "nc",
                 {},
                 {}},
                [&](const std::string& name) {
                    saveGCode(outputReader->ListaFigur, *operation, dialect, name);
                });
}

} // namespace korvane
