#include "geometry/Raster.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvane {

tpix2d modelHeights;
tpix2d offsetHeights;
tpix2d motionHeights;
tpix2dRec cellStatus;
tpix2d flatMask;
tpix2dRec flatStatus;
tpix2d materialHeights;

void setRasterSizeFromModel() {
    rasterSizeX = static_cast<int>(roundHalfEven(modelSize.x / pixelSize));
    rasterSizeY = static_cast<int>(roundHalfEven(modelSize.y / pixelSize));
    rasterSizeZ = static_cast<int>(roundHalfEven((modelSize.z + 10) / pixelSize));
}

bool rasterFits(double sizeX, double sizeY) {
    const double columns = sizeX / pixelSize + 1;
    const double rows = sizeY / pixelSize + 1;
    return columns >= 1 && rows >= 1 && columns * rows <= maxRasterCells; // false for NaN
}

void allocateRasters() {
    const int columns = rasterSizeX + 1;
    const int rows = rasterSizeY + 1;
    modelHeights.resize(columns, rows);
    offsetHeights.resize(columns, rows);
    motionHeights.resize(columns, rows);
    cellStatus.resize(columns, rows);
    flatMask.resize(columns, rows);
    flatStatus.resize(columns, rows);
}

void allocateRastersKeepingModel() {
    tpix2d model = std::move(modelHeights);
    allocateRasters();
    model.resizeKeeping(rasterSizeX + 1, rasterSizeY + 1);
    modelHeights = std::move(model);
}

void allocateMaterialRaster() {
    materialHeights.resize(materialCellsX + 1, materialCellsY + 1);
}

void fillMaterialRaster(float height) {
    materialHeights.resize(rasterSizeX + 1, rasterSizeY + 1);
    materialHeights.fill(height);
}

void clearLayer(tpix2d& layer) {
    const int columns = std::min(rasterSizeX + 1, layer.columns());
    const int rows = std::min(rasterSizeY + 1, layer.rows());
    for (int ix = 0; ix < columns; ++ix) std::fill_n(layer[ix].data(), rows, 0.0f);
}

namespace {

float clampedRead(const tpix2d& layer, int ix, int iy, int lastX, int lastY) {
    // A layer smaller than the raster (a stock model's) answers from its own edge.
    lastX = std::min(lastX, layer.columns() - 1);
    lastY = std::min(lastY, layer.rows() - 1);
    if (lastX < 0 || lastY < 0) return 0.0f;
    return layer[std::clamp(ix, 0, lastX)][std::clamp(iy, 0, lastY)];
}

} // namespace

float motionHeightAt(int ix, int iy) {
    return clampedRead(motionHeights, ix, iy, rasterSizeX, rasterSizeY);
}

float materialHeightAt(int ix, int iy) {
    return clampedRead(materialHeights, ix, iy, rasterSizeX, rasterSizeY);
}

double levelArea(double h) {
    const double half = pixelSize / 2;
    if (h <= -pixelSize / 3) return 0;
    const int columns = std::min(rasterSizeX + 1, offsetHeights.columns());
    const int rows = std::min(rasterSizeY + 1, offsetHeights.rows());
    long long count = 0;
    for (int ix = 0; ix < columns; ++ix) {
        const float* column = offsetHeights[ix].data();
        for (int iy = 0; iy < rows; ++iy)
            if (h - half < column[iy] && column[iy] < h + half) ++count;
    }
    return static_cast<double>(count) * pixelSize * pixelSize;
}

double dominantLevel() {
    // The levels scanned, top down, as the repeated subtraction gives them.
    std::vector<double> levels;
    for (double h = modelSize.z; h >= 0; h -= pixelSize) levels.push_back(h);
    if (levels.empty() || !(pixelSize > 0)) return 0;

    // One pass over the cells: a value can only lie within half a cell of the
    // level nearest to it or of that level's neighbours; each candidate is
    // tested with the same bounds as levelArea.
    const double half = pixelSize / 2;
    const int last = static_cast<int>(levels.size()) - 1;
    std::vector<long long> counts(levels.size(), 0);
    const int columns = std::min(rasterSizeX + 1, offsetHeights.columns());
    const int rows = std::min(rasterSizeY + 1, offsetHeights.rows());
    for (int ix = 0; ix < columns; ++ix) {
        const float* column = offsetHeights[ix].data();
        for (int iy = 0; iy < rows; ++iy) {
            const double v = column[iy];
            const double k = std::floor((modelSize.z - v) / pixelSize + 0.5);
            if (k < -1 || k > last + 1) continue;
            const int nearest = static_cast<int>(k);
            for (int i = std::max(0, nearest - 1); i <= std::min(last, nearest + 1); ++i)
                if (levels[i] - half < v && v < levels[i] + half) ++counts[i];
        }
    }
    double best = 0;
    long long bestCount = 0;
    for (std::size_t i = 0; i < levels.size(); ++i)
        if (counts[i] > bestCount) {
            bestCount = counts[i];
            best = levels[i];
        }
    return best;
}

} // namespace korvane
