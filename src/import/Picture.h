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

// Reads a ".bmp" file as a bitmap or a ".jpg"/".jpeg" file as JPEG (the
// extension in any case); nullopt when the file is missing, of another kind or
// cannot be decoded.
std::optional<Picture> loadPicture(const std::filesystem::path& file);

} // namespace korvane
