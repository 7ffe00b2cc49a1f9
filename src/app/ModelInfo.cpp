#include "app/ModelInfo.h"

#include "foundation/Messages.h"
#include "foundation/Units.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace korvane {

namespace {

std::string length(double mm, int unit) {
    const int decimals = unitDecimals(unit);
    double shown = mm / unitFactor(unit);
    // What rounds to zero is shown without a minus.
    if (std::fabs(shown) < 0.5 * std::pow(10.0, -decimals)) shown = 0;
    char text[400];
    std::snprintf(text, sizeof text, "%.*f ", decimals, shown);
    return text;
}

} // namespace

ModelInfoText modelInfoText(const TModel& model, int unit) {
    ModelInfoText info;
    const std::filesystem::path file(model.plik_RAW);
    info.fileName = file.filename().string();
    info.path = model.plik_RAW;
    info.fileSize = formatFileSize(file);
    info.size = {length(model.maxX - model.minX, unit), length(model.maxY - model.minY, unit),
                 length(model.maxZ - model.minZ, unit)};
    info.extents = {length(model.minX, unit), length(model.maxX, unit), length(model.minY, unit),
                    length(model.maxY, unit), length(model.minZ, unit), length(model.maxZ, unit)};
    return info;
}

} // namespace korvane
