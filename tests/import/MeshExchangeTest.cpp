// Models from other tools: a cube of quads in OBJ, a pyramid in text PLY, a
// tetrahedron in OFF, a square in glTF with its buffer inline, and a 3MF made
// by Assimp's own exporter from the OBJ; their triangle counts and extents,
// the unit of the settings, and bad files of each kind refused with a reason.
#include "import/MeshExchange.h"
#include "TestSupport.h"
#include "import/RAWodczytWatek.h"

#include <assimp/Exporter.hpp>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <gtest/gtest.h>

#include <fstream>

using namespace korvane;

namespace {

std::filesystem::path write(const test::TempDir& dir, const std::string& name,
                            const std::string& text) {
    const auto file = dir.path() / name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

// A 10 x 20 x 5 mm box from (1, 2, 3), its six sides quads.
const std::string cubeObj = "# box\n"
                            "v 1 2 3\nv 11 2 3\nv 11 22 3\nv 1 22 3\n"
                            "v 1 2 8\nv 11 2 8\nv 11 22 8\nv 1 22 8\n"
                            "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

const std::string pyramidPly = "ply\nformat ascii 1.0\nelement vertex 5\n"
                               "property float x\nproperty float y\nproperty float z\n"
                               "element face 5\nproperty list uchar int vertex_indices\n"
                               "end_header\n"
                               "0 0 0\n4 0 0\n4 4 0\n0 4 0\n2 2 6\n"
                               "4 0 3 2 1\n3 0 1 4\n3 1 2 4\n3 2 3 4\n3 3 0 4\n";

const std::string tetrahedronOff = "OFF\n4 4 6\n0 0 0\n3 0 0\n0 3 0\n0 0 3\n"
                                   "3 0 2 1\n3 0 1 3\n3 1 2 3\n3 0 3 2\n";

// Four corners of a 2 x 2 square at height 1 and two triangles, as float
// positions and unsigned short indices in one base64 buffer.
std::string squareGltf() {
    std::string bytes;
    auto put = [&](const void* p, std::size_t n) { bytes.append(static_cast<const char*>(p), n); };
    for (float v : {0.f, 0.f, 1.f, 2.f, 0.f, 1.f, 2.f, 2.f, 1.f, 0.f, 2.f, 1.f}) put(&v, 4);
    for (unsigned short i : {0, 1, 2, 0, 2, 3}) put(&i, 2);
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string b64;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        unsigned v = 0;
        for (std::size_t k = 0; k < 3; ++k)
            v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) b64 += k <= n ? digits[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return R"({"asset":{"version":"2.0"},"scenes":[{"nodes":[0]}],"scene":0,"nodes":[{"mesh":0}],)"
           R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"indices":1}]}],)"
           R"("buffers":[{"byteLength":60,"uri":"data:application/octet-stream;base64,)" +
           b64 +
           R"("}],"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":48},)"
           R"({"buffer":0,"byteOffset":48,"byteLength":12}],)"
           R"("accessors":[{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3",)"
           R"("min":[0,0,1],"max":[2,2,1]},)"
           R"({"bufferView":1,"componentType":5123,"count":6,"type":"SCALAR"}]})";
}

struct Extent {
    float minX, minY, minZ, maxX, maxY, maxZ;
};

Extent extentOf(const std::vector<TTriangle3D>& triangles) {
    Extent e{1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
    for (const auto& t : triangles)
        for (const TPoint3D& p : {t.a, t.b, t.c}) {
            e.minX = std::min(e.minX, p.x), e.maxX = std::max(e.maxX, p.x);
            e.minY = std::min(e.minY, p.y), e.maxY = std::max(e.maxY, p.y);
            e.minZ = std::min(e.minZ, p.z), e.maxZ = std::max(e.maxZ, p.z);
        }
    return e;
}

void expectExtent(const std::vector<TTriangle3D>& triangles, Extent want) {
    const Extent e = extentOf(triangles);
    EXPECT_FLOAT_EQ(e.minX, want.minX);
    EXPECT_FLOAT_EQ(e.minY, want.minY);
    EXPECT_FLOAT_EQ(e.minZ, want.minZ);
    EXPECT_FLOAT_EQ(e.maxX, want.maxX);
    EXPECT_FLOAT_EQ(e.maxY, want.maxY);
    EXPECT_FLOAT_EQ(e.maxZ, want.maxZ);
}

} // namespace

TEST(MeshExchange, EachFormatGivesItsTrianglesAndExtent) {
    const test::TempDir dir;
    const auto obj = write(dir, "box.OBJ", cubeObj);
    auto t = readMeshExchangeFile(obj);
    EXPECT_EQ(t.size(), 12u);
    expectExtent(t, {1, 2, 3, 11, 22, 8});

    t = readMeshExchangeFile(write(dir, "pyramid.ply", pyramidPly));
    EXPECT_EQ(t.size(), 6u);
    expectExtent(t, {0, 0, 0, 4, 4, 6});

    t = readMeshExchangeFile(write(dir, "tetra.off", tetrahedronOff));
    EXPECT_EQ(t.size(), 4u);
    expectExtent(t, {0, 0, 0, 3, 3, 3});

    t = readMeshExchangeFile(write(dir, "square.gltf", squareGltf()));
    EXPECT_EQ(t.size(), 2u);
    expectExtent(t, {0, 0, 1, 2, 2, 1});

    // 3MF as Assimp writes it, from the box.
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(obj.string(), aiProcess_Triangulate);
    ASSERT_NE(scene, nullptr);
    const auto threeMf = dir.path() / "box.3mf";
    Assimp::Exporter exporter;
    ASSERT_EQ(exporter.Export(scene, "3mf", threeMf.string()), AI_SUCCESS)
        << exporter.GetErrorString();
    t = readMeshExchangeFile(threeMf);
    EXPECT_EQ(t.size(), 12u);
    expectExtent(t, {1, 2, 3, 11, 22, 8});
}

TEST(MeshExchange, ReadLikeAnyModelInTheSettingsUnit) {
    const test::TempDir dir;
    const auto obj = write(dir, "box.obj", cubeObj);
    EXPECT_TRUE(isMeshExchangeFile(obj));
    EXPECT_TRUE(isMeshExchangeFile("a.GLB"));
    EXPECT_FALSE(isMeshExchangeFile("a.stl"));
    const ReadModel model = readModelFile(obj, 25.4); // a file in inches
    EXPECT_EQ(model.triangles.size(), 12u);
    EXPECT_DOUBLE_EQ(model.extents.maxX, 11 * 25.4f);
    EXPECT_DOUBLE_EQ(model.extents.maxZ, 8 * 25.4f);
}

TEST(MeshExchange, BadFilesAreRefusedWithTheirReason) {
    const test::TempDir dir;
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"cut.ply", "ply\nformat ascii 1.0\nelement vertex 5\nproperty float x\n"},
        {"junk.off", "OFF\n4 4\n0 0\n"},
        {"junk.gltf", R"({"asset":{"version":"2.0"},"meshes":[)"},
        {"junk.3mf", "this is not a zip archive"},
        {"empty.glb", ""},
        {"lines.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nl 1 2 3\n"},
        {"index.obj", "v 0 0 0\nf 1 2 3\n"},
        {"index.ply", "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
                      "property float y\nproperty float z\nelement face 1\n"
                      "property list uchar int vertex_indices\nend_header\n"
                      "0 0 0\n1 0 0\n0 1 0\n3 0 1 9\n"},
        {"index.off", "OFF\n3 1 3\n0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n"},
    };
    for (const auto& [name, text] : bad) {
        const auto file = write(dir, name, text);
        try {
            readMeshExchangeFile(file);
            ADD_FAILURE() << name << " was taken";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
    }
}
