#pragma once

#include "geometry/Figury.h"
#include "libraries/Operacje.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Export of an output file's figures as RS-274 G-code for machines of other
// makes, in the GRBL or the LinuxCNC dialect.
namespace korvane {

enum class GCodeDialect { grbl, linuxCnc };

// "grbl" or "linuxcnc" (any case); nullopt for anything else.
std::optional<GCodeDialect> gcodeDialect(std::string_view name);

// The height every rapid at the start and the end travels at: 5 mm above the
// highest point and transfer height of the figures.
double gcodeSafeHeight(const FigureList& figures);

// The program, lines ended by LF, numbers with three decimals and ".":
//   LinuxCNC only: "%"
//   "(Korvane3D <operation name>)"
//   "G21", "G90", then "G17 G94" (GRBL) or "G17 G40 G49 G80 G94" and "G64 P0.010" (LinuxCNC)
//   "G0 Z<safe>", "S<obroty> M3" (left out when obroty is 0)
//   per figure with points: a rise "G0 Z" when the tool is below the figure's
//   start plus the step down, "G0 X Y" over the start, "G0 Z<start + warstwaGrubosc>"
//   when that is lower, "G1 Z<start> F<plunge>", then "G1 X Y Z" per further
//   point, and "G0 Z<przestawczyZ>" after the figure. A move that goes down more
//   than it goes sideways takes the plunge feed (posuwWiercenia, or szybkosc
//   when that is 0), every other cut szybkosc; F is written when it changes.
//   "G0 Z<safe>", "M5", "M2", and for LinuxCNC "%".
// Throws std::invalid_argument when the operation has no working feed.
std::string gcodeText(const FigureList& figures, const TOperacjaDane& operation,
                      GCodeDialect dialect);

// Writes the file `name` whole or leaves it untouched; throws std::runtime_error
// naming the file when it cannot be written.
void saveGCode(const FigureList& figures, const TOperacjaDane& operation, GCodeDialect dialect,
               const std::filesystem::path& name);

} // namespace korvane
