#pragma once

#include <filesystem>
#include <string_view>

namespace korvane {

// Writes the whole file under a temporary name beside it and renames it over the
// old one, so that a failed write never leaves a half-written file behind.
// False on any file error; the old file is then untouched.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace korvane
