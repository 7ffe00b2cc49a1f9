#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// Pictures read for bitmap reliefs: 24-bit colour, rows from the top.
namespace korvane {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // width * height * 3 bytes, rows from the top

    std::uint8_t red(int column, int row) const {
        return rgb[(static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(column)) *
                   3];
    }
};

// The largest picture taken: 100 million pixels (300 MB of colour), far beyond
// the finest raster a relief is cut on.
inline constexpr std::size_t maxPicturePixels = 100'000'000;

// Reads a ".bmp" file as a bitmap or a ".jpg"/".jpeg" file as JPEG (the
// extension in any case); nullopt when the file is missing, of another kind,
// cannot be decoded, holds fewer pixels than it declares (a truncated file) or
// declares more than maxPicturePixels.
std::optional<Picture> loadPicture(const std::filesystem::path& file);

} // namespace korvane
