#pragma once

#include "output/OldPreview.h"

#include <QImage>

// The old-style preview picture: white, with the polylines in black.
QImage oldPreviewImage(const std::vector<korvane::PreviewPolyline>& lines, int width, int height);
