#include "output/DeviationPicture.h"

#include "output/DeviationMap.h"
#include "platform/AtomicFile.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace korvane {

DeviationClass classifyDeviation(double deviation, double allowance) {
    if (deviation < -gougeThreshold) return DeviationClass::gouge;
    if (deviation > allowance + gougeThreshold) return DeviationClass::materialLeft;
    return DeviationClass::withinAllowance;
}

std::uint32_t deviationColour(DeviationClass c) {
    switch (c) {
    case DeviationClass::gouge:
        return 0xE02020;
    case DeviationClass::materialLeft:
        return 0xF0B020;
    default:
        return 0x30B040;
    }
}

std::vector<std::uint8_t> deviationPixels(const tpix2d& deviation, const tpix2d& remaining,
                                          double cell, double allowance) {
    const int w = std::min(deviation.columns(), remaining.columns());
    const int h = std::min(deviation.rows(), remaining.rows());
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    auto height = [&](int ix, int iy) {
        return static_cast<double>(remaining[std::clamp(ix, 0, w - 1)]
                                            [static_cast<std::size_t>(std::clamp(iy, 0, h - 1))]);
    };
    for (int row = 0; row < h; ++row) {
        const int iy = h - 1 - row;
        for (int ix = 0; ix < w; ++ix) {
            // Lambert shading of the surface normal, light from the north-west above.
            const double gx = (height(ix + 1, iy) - height(ix - 1, iy)) / (2 * cell);
            const double gy = (height(ix, iy + 1) - height(ix, iy - 1)) / (2 * cell);
            const double lx = -0.5, ly = 0.5, lz = 0.7071;
            const double light = (-gx * lx - gy * ly + lz) / std::sqrt(gx * gx + gy * gy + 1);
            const double shade = 0.35 + 0.65 * std::clamp(light, 0.0, 1.0);
            const std::uint32_t colour = deviationColour(
                classifyDeviation(deviation[ix][static_cast<std::size_t>(iy)], allowance));
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(row) * static_cast<std::size_t>(w) +
                                       static_cast<std::size_t>(ix)) *
                                      3];
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<std::uint8_t>(((colour >> (16 - 8 * k)) & 0xFF) * shade);
        }
    }
    return pixels;
}

void saveDeviationPicture(const tpix2d& deviation, const tpix2d& remaining, double cell,
                          double allowance, const std::filesystem::path& file) {
    const int w = std::min(deviation.columns(), remaining.columns());
    const int h = std::min(deviation.rows(), remaining.rows());
    const std::vector<std::uint8_t> pixels = deviationPixels(deviation, remaining, cell, allowance);
    std::string png;
    const int ok = w > 0 && h > 0 &&
                   stbi_write_png_to_func(
                       [](void* context, void* data, int size) {
                           static_cast<std::string*>(context)->append(static_cast<char*>(data),
                                                                      static_cast<size_t>(size));
                       },
                       &png, w, h, 3, pixels.data(), w * 3);
    if (!ok || !writeFileAtomically(file, png))
        throw std::runtime_error("Cannot write the file " + file.string());
}

} // namespace korvane
