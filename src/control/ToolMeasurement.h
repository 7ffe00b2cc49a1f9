#pragma once

#include <functional>

// Tool length: the machine sequences that find where the tool tip is and send
// the work origin's Z with "N". The dialog's logic (app/DlugoscDlg.h) decides
// which to run; nothing here shows a window.
namespace korvane {

// Where the measuring plate lies.
enum PlatePosition : int { plateOnTable = 0, plateOnSubstrate = 1, plateOnMaterial = 2 };

// pos0.z (position units) from the tool stopped on the plate at machine Z
// `absZ` (position units, negative below the top). Thickness, substrate and
// material in mm. A position other than the three counts as on the table.
long long plateOrigin(int position, double plate, double substrate, double material, double absZ);
// pos0.z with the tool tip on the table or on the material's surface.
long long tableOrigin(double absZ);
long long materialSurfaceOrigin(double substrate, double material, double absZ);

// Why a measurement could not start.
enum class MeasureRefusal { none, noLink, machineBusy };

// The machine is read; a running job or moving axes refuse a measurement.
MeasureRefusal measurementRefusal();

// The tool up to the machine's Z zero and the machine at rest again.
void moveToZTop();

// The automatic measurement against the plate: up to the top, "W" probes down
// until the plate stops the tool (or `interrupted` asks to stop it), the origin
// is computed from where the tool stopped and sent, the tool goes up again and
// the auxiliary speed is restored. The plate position, thickness, substrate and
// material are as for plateOrigin.
void measureAgainstPlate(int platePosition, double plate, double substrate, double material,
                         const std::function<bool()>& interrupted);

// Sets pos0.z and sends it with "N".
void sendToolOrigin(long long pos0z);

// The machine asks for the automatic measurement (status bit 0x4000000); it is
// acknowledged with "SU" on firmware 7.17 and later. True when it asked.
bool machineRequestsMeasurement();

// The dialog that measures a new tool, installed by the window at start; empty
// without a window.
extern std::function<bool()> toolLengthDialog;

// Measures the tool through the dialog; true when the tool was measured, false
// when it was not or there is no dialog.
bool MeasureTool();

} // namespace korvane
