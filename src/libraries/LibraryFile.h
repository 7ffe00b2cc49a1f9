#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvane {

// Deletes a library file (a tool or an operation) by its name in its folder,
// with the report of deleteFileReported. Names come from the files themselves:
// a name with a path separator would lead out of the folder, so it is reported
// as a missing file and nothing is deleted.
bool deleteLibraryFile(const std::filesystem::path& folder, const std::string& fileName);

// The regular files of a library folder whose extension is `extension` (without
// the dot, any case), sorted by path; none when the folder cannot be read.
std::vector<std::filesystem::path> libraryFiles(const std::filesystem::path& folder,
                                                const std::string& extension);

} // namespace korvane
