#pragma once

#include "geometry/Figury.h"

#include <filesystem>
#include <string>

// Export of an output file's figures for other programs: an HPGL plot of three
// views, or a DXF drawing of 3D polylines. Figures without points are left out.
namespace korvane {

// 400 plotter units per mm. Per figure the top view (x, y), the side view
// (x, z) shifted by 6000 units and the front view (y, z) shifted by 12000, each
// "PA" to the first point, "PD" to every further one, then "PU;" (and "SP1;"
// after the first two views). CR LF after every command.
std::string hpglText(const FigureList& figures);

// SECTION ENTITIES, one POLYLINE (flag 8, 3D) of VERTEX records per figure,
// SEQEND; coordinates in mm with 3 decimals for unit 0 and 1, 4 for unit 2,
// 1 otherwise, at most 7 significant digits.
std::string dxfText(const FigureList& figures, int jednostkaMiary);

// Write the file `name` whole or leave it untouched; throw std::runtime_error
// naming the file when it cannot be written.
void ZapiszHpgl(const FigureList& figures, const std::filesystem::path& name);
void ZapiszDXF(const FigureList& figures, const std::filesystem::path& name, int jednostkaMiary);

} // namespace korvane
