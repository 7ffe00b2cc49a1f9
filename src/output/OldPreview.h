#pragma once

#include "foundation/Records.h"
#include "output/DaneWyjsciowe.h"

#include <vector>

// The old-style 2D preview of an output file: its figures projected on two axes
// and scaled into a picture of W × H pixels, v growing upwards.
namespace korvane {

// Pixels per mm before the factor 0.95, and the size of the preview picture
// (set by the main window at start; the generation sets the scale too).
extern double previewScale;
extern int previewWidth, previewHeight;

// The size every preview is fitted to while no model gives one, mm.
inline constexpr TrPkt3D defaultPreviewSize{110, 140, 65};

// min(W / x, H / (z × cos 40° + y × sin 40°)) for a size (x, y, z) in mm.
double previewScaleFor(const TrPkt3D& size, int width, int height);

struct PreviewPixel {
    int x = 0, y = 0;
    bool operator==(const PreviewPixel&) const = default;
};
using PreviewPolyline = std::vector<PreviewPixel>;

// The polylines to draw for the reader's figures of layer WyswietlanaWarstwa
// (every layer for −1), in list order; the axes by `os`: 0 (y, z), 1 (x, z),
// 2 (x, y); no lines for another `os` or while the reader holds no point.
std::vector<PreviewPolyline> wyswietlPlikWyjsciowy(const tWy& wy, int os, int WyswietlanaWarstwa,
                                                   double scale, int width, int height);

} // namespace korvane
