#pragma once

#include "import/BMPtoRAW.h"
#include "import/Picture.h"
#include "libraries/Projekt.h"

#include <optional>
#include <string>

// The bitmap relief dialog without its window: the two heights, the size of
// the relief and whether the size keeps the picture's proportions.
namespace korvane {

class TFormBMP {
  public:
    // When the dialog appears: result cleared, the picture read, the depth
    // made to follow the width. False when the picture cannot be read (the
    // reason has been shown).
    bool FormActivate();
    // The user changed the width or the depth: with Proporcjonalnie the other
    // one follows so that width : depth = picture width : picture height.
    void SzerokoscChange(double width);
    void wysokoscChange(double depth);
    // OK: builds the raster and stores the four values into the project;
    // false when the relief could not be built (the dialog stays open).
    bool btnOkClick(TProjektDane& project);
    // Builds the raster from BMPFileName and the four values (also without
    // the dialog, for a project's picture).
    bool GenerujPix2D() const;

    BitmapRelief relief;          // heights and size, mm
    bool Proporcjonalnie = true;  // keep the picture's proportions
    bool result = false;          // OK was pressed
    std::string BMPFileName;      // the picture
    std::optional<Picture> image; // read by FormActivate
};

} // namespace korvane
