// The model information texts: the file, its size, and the model's size and
// extents in millimetres, inches and feet.
#include "TestSupport.h"

#include "app/ModelInfo.h"
#include "foundation/Units.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(ModelInfo, SizesAndExtentsInTheUnitOfMeasure) {
    test::TempDir folder;
    test::writeFile(folder / "part.stl", std::string(2048, 'x'));
    TModel model;
    model.plik_RAW = (folder / "part.stl").string();
    model.minX = -12.7;
    model.maxX = 12.7;
    model.minY = 0;
    model.maxY = 304.8;
    model.minZ = -0.0001;
    model.maxZ = 25.4;

    const ModelInfoText mm = modelInfoText(model, unitMillimetre);
    EXPECT_EQ(mm.fileName, "part.stl");
    EXPECT_EQ(mm.path, (folder / "part.stl").string());
    EXPECT_EQ(mm.fileSize, "2KB");
    EXPECT_EQ(mm.size, (std::array<std::string, 3>{"25.400 ", "304.800 ", "25.400 "}));
    EXPECT_EQ(mm.extents, (std::array<std::string, 6>{"-12.700 ", "12.700 ", "0.000 ", "304.800 ",
                                                      "0.000 ", "25.400 "}));
    const ModelInfoText inch = modelInfoText(model, unitInch);
    EXPECT_EQ(inch.size, (std::array<std::string, 3>{"1.000 ", "12.000 ", "1.000 "}));
    EXPECT_EQ(inch.extents[0], "-0.500 ");
    const ModelInfoText foot = modelInfoText(model, unitFoot);
    EXPECT_EQ(foot.size, (std::array<std::string, 3>{"0.0833 ", "1.0000 ", "0.0833 "}));
    EXPECT_EQ(foot.extents[3], "1.0000 ");

    model.plik_RAW = (folder / "gone.stl").string();
    EXPECT_EQ(modelInfoText(model, unitMillimetre).fileSize, "");
}
