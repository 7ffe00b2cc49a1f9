#pragma once

#include <filesystem>
#include <string>

namespace korvane {

// Deletes a library file (a tool or an operation) by its name in its folder,
// with the report of deleteFileReported. Names come from the files themselves:
// a name with a path separator would lead out of the folder, so it is reported
// as a missing file and nothing is deleted.
bool deleteLibraryFile(const std::filesystem::path& folder, const std::string& fileName);

} // namespace korvane
