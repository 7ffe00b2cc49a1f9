#include "app/PathExportCommands.h"

#include "foundation/Messages.h"
#include "foundation/State.h"
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

} // namespace korvane
