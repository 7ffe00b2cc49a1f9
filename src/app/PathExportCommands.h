#pragma once

#include "app/MainWindowView.h"

// The window's commands that export the figures of the output file last read
// (Ctrl+F10 HPGL, Ctrl+Alt+F11 DXF): offered only while outputReader holds a
// figure; the save dialog starts in the program's folder, cancelling writes
// nothing, a file that cannot be written is reported.
namespace korvane {

// Whether there is anything to export.
bool canExportPaths();
void exportHpglCommand(MainWindowView& view);
void exportDxfCommand(MainWindowView& view);

} // namespace korvane
