#pragma once

#include "import/RawReader.h"

#include <filesystem>
#include <vector>

// Meshes from other tools (OBJ, PLY, 3MF, OFF, glTF), read through Assimp,
// their polygons cut into triangles and their parts placed as the file's
// scene places them.
namespace korvane {

// True for the extensions read here (any case): .obj, .ply, .3mf, .off,
// .gltf, .glb.
bool isMeshExchangeFile(const std::filesystem::path& file);

// The triangles of every mesh of the file, in the file's own numbers. Throws
// std::runtime_error with the reason when the file cannot be read or holds no
// triangles (only points or lines).
std::vector<TTriangle3D> readMeshExchangeFile(const std::filesystem::path& file);

} // namespace korvane
