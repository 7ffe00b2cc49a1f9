#include "import/BMPtoRAW.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <cmath>

namespace korvane {

double proportionalDepth(double width, const Picture& picture) {
    return picture.width > 0 ? width * picture.height / picture.width : width;
}

void reliefFromPicture(const Picture& picture, const BitmapRelief& relief) {
    const double black = relief.wysokoscDlaCzarnego;
    const double step = (relief.wysokoscDlaBialego - relief.wysokoscDlaCzarnego) / 255;
    const double low = std::min(relief.wysokoscDlaBialego, relief.wysokoscDlaCzarnego);
    const double high = std::max(relief.wysokoscDlaBialego, relief.wysokoscDlaCzarnego);

    modelSize = {static_cast<float>(relief.Szerokosc), static_cast<float>(relief.wysokosc),
                 static_cast<float>(high)};
    modelExtents.minX = 0;
    modelExtents.minY = 0;
    modelExtents.maxX = relief.Szerokosc;
    modelExtents.maxY = relief.wysokosc;
    modelExtents.minZ = low;
    modelExtents.maxZ = high;

    const auto nx = static_cast<int>(roundHalfEven(relief.Szerokosc / pixelSize + 1));
    const auto ny = static_cast<int>(roundHalfEven(relief.wysokosc / pixelSize + 1));
    rasterSizeX = nx - 1;
    rasterSizeY = ny - 1;
    rasterSizeZ = static_cast<int>(roundHalfEven((high + 10) / pixelSize));
    allocateRasters();

    // Picture pixels per cell. Rows count from the top of the picture, so that y
    // grows upwards; a picture with fewer rows than about half the raster's
    // would have its first sampled row one past its last: that sample reads the
    // last row.
    const double sx = static_cast<double>(picture.width - 1) / nx;
    const double sy = static_cast<double>(picture.height - 1) / ny;
    for (int i = 1; i <= nx - 1; ++i) {
        const int column =
            std::clamp(static_cast<int>(roundHalfEven(i * sx)), 0, picture.width - 1);
        float* cells = modelHeights[i].data();
        for (int j = 1; j <= ny - 1; ++j) {
            const int row = std::clamp(picture.height - static_cast<int>(roundHalfEven(j * sy)), 0,
                                       picture.height - 1);
            cells[j] = static_cast<float>(black + step * picture.red(column, row));
        }
    }
    rasterReady = true;
}

bool GenerujPix2D(const std::filesystem::path& file, const BitmapRelief& relief) {
    if (!(relief.Szerokosc > 0) || !(relief.wysokosc > 0)) {
        showMessage(txt("BMP_dialog", "bladWymiarow"), true);
        return false;
    }
    // A relief the raster cannot hold (1e30 mm took all memory) or higher than
    // any material is refused before anything is allocated.
    if (!rasterFits(relief.Szerokosc, relief.wysokosc) ||
        !(std::fabs(relief.wysokoscDlaBialego) <= TMaterial::maxHeight) ||
        !(std::fabs(relief.wysokoscDlaCzarnego) <= TMaterial::maxHeight)) {
        showMessage(txt("Main_window", "modelPozaRastrem") + "\r\n" + file.string(), true);
        return false;
    }
    const std::optional<Picture> picture = loadPicture(file);
    if (!picture) {
        if (!std::filesystem::exists(file))
            showMessage(txt("Other", "OdwolanieDoNieistniejacegoPliku") + "\r\n" + file.string(),
                        true);
        else
            showMessage(txt("BMP_dialog", "bladOdczytuObrazu") + "\r\n" + file.string(), true);
        return false;
    }
    reliefFromPicture(*picture, relief);
    return true;
}

} // namespace korvane
