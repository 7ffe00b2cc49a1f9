#pragma once

#include "app/MainWindowView.h"
#include "output/GCodeExport.h"

// The window's commands that export the figures of the output file last read
// (Ctrl+F10 HPGL, Ctrl+Alt+F11 DXF, Ctrl+Shift+F10 GRBL and Ctrl+Shift+F11
// LinuxCNC G-code): offered only while outputReader holds a
// figure; the save dialog starts in the program's folder, cancelling writes
// nothing, a file that cannot be written is reported.
namespace korvane {

// Whether there is anything to export.
bool canExportPaths();
void exportHpglCommand(MainWindowView& view);
void exportDxfCommand(MainWindowView& view);
// G-code with the feeds and spindle speed of the operation the file is named
// after; an operation missing from the library is reported and nothing is asked.
void exportGCodeCommand(MainWindowView& view, GCodeDialect dialect);

} // namespace korvane
