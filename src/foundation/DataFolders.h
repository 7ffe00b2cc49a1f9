#pragma once

#include <filesystem>

// The data folder and its subfolders.
namespace korvane {

// Sets dataFolder (the "dataDir" option, else the per-user data folder +
// Vardimon/Korvane3D) and creates it; false, after the message, when it cannot
// be created.
bool chooseDataFolder();

// Sets outputFolderName from the project path in the settings and creates the
// folder; false, after the message, when it cannot be created.
bool createOutputFolder();

// Creates a folder with its parents; shows "cannot create folder" and gives
// false on failure.
bool ensureFolder(const std::filesystem::path& folder);

} // namespace korvane
