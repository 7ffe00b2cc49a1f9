// Opening models through the application unit: a triangle model within its
// deadline, missing and empty models with their messages, and a project's
// model with its raster (a picture at once, triangles on the raster thread).
#include "../import/DxfFiles.h"
#include "TestSupport.h"

#include "app/ModelLoading.h"
#include "foundation/State.h"
#include "geometry/Raster.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

const std::string pyramid = std::string(KORVANE_SOURCE_DIR) + "/samples/Pyramid.stl";
const std::string picture = std::string(KORVANE_SOURCE_DIR) + "/samples/relief.bmp";
constexpr std::chrono::minutes deadline{5};

class ModelLoading : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        loadTexts();
        pixelSize = 0.5;
    }
    RecordingUserInterface ui;
    TempDir dir;
};

TEST_F(ModelLoading, TriangleModelFillsTheModelState) {
    const ModelLoadOutcome loaded = loadModelFile(pyramid, deadline);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(modelTriangles.size(), 6u);
    EXPECT_EQ(modelExtents.plik_RAW, pyramid);
    EXPECT_FLOAT_EQ(modelSize.x, 40);
    EXPECT_FLOAT_EQ(modelSize.y, 40);
    EXPECT_FLOAT_EQ(modelSize.z, 20);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ModelLoading, MissingAndEmptyModelsSayWhy) {
    const std::string missing = (dir / "none.stl").string();
    EXPECT_EQ(loadModelFile(missing, deadline).result, ModelLoadResult::missing);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "File not found:\r\n" + missing);
    EXPECT_TRUE(ui.messages[0].error);

    // A folder is no model file either.
    EXPECT_EQ(loadModelFile(dir.path().string(), deadline).result, ModelLoadResult::missing);

    writeFile(dir / "e.raw", "no triangles here\n");
    ModelLoadOutcome empty = loadModelFile((dir / "e.raw").string(), deadline);
    EXPECT_EQ(empty.result, ModelLoadResult::empty);
    EXPECT_EQ(ui.messages.back().text, "The file holds no triangles: the model is empty.");

    // A reader that gives up says why, and does not call the file empty.
    const std::vector<std::vector<double>> tri = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::pair<std::string, std::string> damaged[] = {
        {drawing(insert("NOWHERE")), "unknown block \"NOWHERE\""},
        {drawing(polyface(tri, {{1, 2, 3}, {1, 0, 3}})), "group 72: face vertex 0"},
    };
    for (const auto& [text, reason] : damaged) {
        const std::string file = (dir / "bad.dxf").string();
        writeFile(file, text);
        empty = loadModelFile(file, deadline);
        EXPECT_EQ(empty.result, ModelLoadResult::empty);
        EXPECT_TRUE(modelTriangles.empty());
        EXPECT_NE(empty.readerError.find(reason), std::string::npos) << empty.readerError;
        EXPECT_EQ(ui.messages.back().text,
                  "Model not loaded\r\n" + file + "\r\n" + empty.readerError);
    }
}

TEST_F(ModelLoading, PictureBecomesTheRasterAtOnce) {
    TProjektDane project;
    project.plikModelu = picture;
    project.BMPwysBialego = 6;
    project.BMPx = 40;
    project.BMPy = 30;
    TRawDoPix raster;
    ASSERT_TRUE(loadProjectModel(project, raster, deadline).ok());
    EXPECT_TRUE(rasterReady);
    EXPECT_FALSE(raster.running());
    EXPECT_EQ(modelExtents.typPliku, modelKindBitmapShown);
    EXPECT_FLOAT_EQ(modelSize.x, 40);
    EXPECT_FLOAT_EQ(modelSize.y, 30);

    project.plikModelu = (dir / "none.bmp").string();
    EXPECT_EQ(loadProjectModel(project, raster, deadline).result, ModelLoadResult::missing);
}

TEST_F(ModelLoading, TriangleModelRasterBuildsOnItsThread) {
    TProjektDane project;
    project.plikModelu = pyramid;
    TRawDoPix raster;
    ASSERT_TRUE(loadProjectModel(project, raster, deadline).ok());
    EXPECT_EQ(modelExtents.typPliku, modelKind3D);
    // 40 mm at 2 cells per mm.
    EXPECT_EQ(rasterSizeX, 80);
    EXPECT_EQ(rasterSizeY, 80);
    ASSERT_TRUE(queueMainLoop().runUntil([] { return rasterReady.load(); }, deadline));
    // The apex 20 mm over the middle; halfway to the edge, half as high.
    EXPECT_NEAR(modelHeights[40][40], 20, 0.6);
    EXPECT_NEAR(modelHeights[20][40], 10, 0.6);
}

} // namespace
} // namespace korvane::test
