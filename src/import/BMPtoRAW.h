#pragma once

#include "import/Picture.h"

#include <filesystem>

// A relief from a picture: each pixel's red value becomes a height between the
// height for black and the height for white, over width x depth millimetres.
// The relief fills modelHeights directly; no triangles are made.
namespace korvane {

// The values of the relief dialog, with the dialog's initial values.
struct BitmapRelief {
    double wysokoscDlaBialego = 3.0;  // height for white, mm
    double wysokoscDlaCzarnego = 0.0; // height for black, mm
    double Szerokosc = 50.0;          // width (x), mm
    double wysokosc = 50.0;           // depth (y), mm
};

// The depth that keeps the picture's proportions for `width`.
double proportionalDepth(double width, const Picture& picture);

// Sets the model size and extents, sizes and allocates the raster, samples the
// picture into modelHeights and marks the raster built. Cells of column 0 and
// row 0 are left as allocated (0).
void reliefFromPicture(const Picture& picture, const BitmapRelief& relief);

// Reads `file` (Picture.h) and builds the relief from it. A picture that cannot
// be read, or a width or depth not above 0, is reported and leaves the raster
// and the model as they were; returns false then.
bool GenerujPix2D(const std::filesystem::path& file, const BitmapRelief& relief);

} // namespace korvane
