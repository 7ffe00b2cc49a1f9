#include "import/MeshExchange.h"

#include "foundation/NumberText.h"
#include "foundation/TextCompare.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane {

bool isMeshExchangeFile(const std::filesystem::path& file) {
    const std::string ext = file.extension().string();
    for (const char* known : {".obj", ".ply", ".3mf", ".off", ".gltf", ".glb"})
        if (sameText(ext, known)) return true;
    return false;
}

namespace {

// Assimp's PLY reader never returns on a header that does not end: a cut PLY
// file is refused before it is handed over.
void checkPlyHeader(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    for (std::size_t read = 0; read < 1 << 20 && std::getline(in, line); read += line.size() + 1) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "end_header") return;
    }
    throw std::runtime_error(file.string() +
                             ": cannot be read: its PLY header does not end (no end_header line)");
}

// Assimp's OFF reader takes a face's vertex numbers unchecked and reads
// beyond its vertices: a face naming a vertex the file does not have is
// refused first. Lines hold one vertex or one face each; "#" starts a comment.
void checkOffFaces(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text;
    std::vector<std::vector<std::string>> lines;
    while (std::getline(in, text)) {
        std::istringstream words(text.substr(0, text.find('#')));
        std::vector<std::string> line;
        for (std::string w; words >> w;) line.push_back(w);
        if (!line.empty()) lines.push_back(std::move(line));
    }
    if (lines.empty() || lines[0][0].find("OFF") == std::string::npos) return;
    std::vector<std::string> counts(lines[0].begin() + 1, lines[0].end());
    std::size_t next = 1;
    if (counts.empty() && lines.size() > 1) counts = lines[next++];
    if (counts.size() < 2) return;
    const auto vertices = parseInteger(counts[0]), faces = parseInteger(counts[1]);
    if (!vertices || !faces || *vertices < 0 || *faces < 0) return;
    next += static_cast<std::size_t>(*vertices);
    for (long long f = 0; f < *faces && next < lines.size(); ++f, ++next) {
        const auto& face = lines[next];
        const auto corners = parseInteger(face[0]);
        if (!corners) return;
        for (long long k = 1; k <= *corners && static_cast<std::size_t>(k) < face.size(); ++k) {
            const auto index = parseInteger(face[static_cast<std::size_t>(k)]);
            if (index && (*index < 0 || *index >= *vertices))
                throw std::runtime_error(
                    file.string() + ": cannot be read: face " + std::to_string(f + 1) +
                    " names vertex " + std::to_string(*index) + " of " + std::to_string(*vertices));
        }
    }
}

} // namespace

std::vector<TTriangle3D> readMeshExchangeFile(const std::filesystem::path& file) {
    if (sameText(file.extension().string(), ".ply")) checkPlyHeader(file);
    if (sameText(file.extension().string(), ".off")) checkOffFaces(file);
    Assimp::Importer importer;
    // Points and lines are of no use to a tool path: left out of the scene.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    const aiScene* scene =
        importer.ReadFile(file.string(), aiProcess_Triangulate | aiProcess_PreTransformVertices |
                                             aiProcess_SortByPType);
    if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE))
        throw std::runtime_error(file.string() + ": cannot be read: " + importer.GetErrorString());
    std::vector<TTriangle3D> triangles;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene->mMeshes[m];
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) continue;
            for (unsigned k = 0; k < 3; ++k)
                if (face.mIndices[k] >= mesh.mNumVertices)
                    throw std::runtime_error(file.string() + ": cannot be read: face " +
                                             std::to_string(f + 1) + " names vertex " +
                                             std::to_string(face.mIndices[k] + 1) + " of " +
                                             std::to_string(mesh.mNumVertices));
            auto vertex = [&](unsigned k) {
                const aiVector3D& v = mesh.mVertices[face.mIndices[k]];
                return TPoint3D{v.x, v.y, v.z};
            };
            triangles.push_back({vertex(0), vertex(1), vertex(2)});
        }
    }
    if (triangles.empty())
        throw std::runtime_error(file.string() + ": holds no triangles (only points or lines)");
    return triangles;
}

} // namespace korvane
