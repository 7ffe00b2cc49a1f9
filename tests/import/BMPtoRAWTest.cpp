#include "TestSupport.h"

#include "foundation/State.h"
#include "geometry/Raster.h"
#include "import/BMPtoRAW.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>

using namespace korvane;

namespace {

// A 24-bit bitmap (rows stored bottom-up) whose red value at column x and row y
// (from the top) is red(x, y); green and blue differ so that a mix-up shows.
std::string bitmap(int width, int height, const std::function<int(int, int)>& red) {
    const int rowSize = (width * 3 + 3) & ~3;
    std::string b;
    auto le = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b += "BM";
    le(54 + rowSize * height, 4);
    le(0, 4);
    le(54, 4);
    le(40, 4);
    le(width, 4);
    le(height, 4);
    le(1, 2);
    le(24, 2);
    le(0, 4);
    le(rowSize * height, 4);
    le(2835, 4);
    le(2835, 4);
    le(0, 4);
    le(0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            b += static_cast<char>(7);                // blue
            b += static_cast<char>(9);                // green
            b += static_cast<char>(red(x, y) & 0xFF); // red
        }
        b.append(rowSize - width * 3, '\0');
    }
    return b;
}

Picture picture(int width, int height, const std::function<int(int, int)>& red) {
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            p.rgb.push_back(static_cast<std::uint8_t>(red(x, y)));
            p.rgb.push_back(0);
            p.rgb.push_back(0);
        }
    return p;
}

class BMPtoRAWTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        test::loadTexts("US");
        pixelSize = 0.5;
    }
    test::RecordingUserInterface ui;
    test::TempDir dir;
};

} // namespace

TEST_F(BMPtoRAWTest, ReadsBitmapsTopRowFirst) {
    test::writeFile(dir / "p.BmP", bitmap(3, 2, [](int x, int y) { return 10 * x + 100 * y; }));
    const auto p = loadPicture(dir / "p.BmP");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->width, 3);
    EXPECT_EQ(p->height, 2);
    EXPECT_EQ(p->red(0, 0), 0);
    EXPECT_EQ(p->red(2, 0), 20);
    EXPECT_EQ(p->red(1, 1), 110);
    EXPECT_EQ(p->rgb[1], 9);
    EXPECT_EQ(p->rgb[2], 7);
}

TEST_F(BMPtoRAWTest, ReadsTheSampleJpegLikeItsBitmap) {
    const auto samples = std::filesystem::path(KORVANE_SOURCE_DIR) / "samples";
    const auto bmp = loadPicture(samples / "relief.bmp");
    const auto jpg = loadPicture(samples / "relief.jpg");
    ASSERT_TRUE(bmp);
    ASSERT_TRUE(jpg);
    EXPECT_EQ(jpg->width, 240);
    EXPECT_EQ(jpg->height, 180);
    ASSERT_EQ(bmp->rgb.size(), jpg->rgb.size());
    for (int y = 0; y < 180; y += 7)
        for (int x = 0; x < 240; x += 5)
            EXPECT_NEAR(jpg->red(x, y), bmp->red(x, y), 24) << x << "," << y;
}

TEST_F(BMPtoRAWTest, UnreadablePicturesAreReportedAndChangeNothing) {
    pixelSize = 1;
    rasterSizeX = 4;
    rasterSizeY = 4;
    allocateRasters();
    modelHeights[2][2] = 7;
    modelSize = {4, 4, 7};
    test::writeFile(dir / "bad.jpg", "not a picture at all");
    test::writeFile(dir / "bad.bmp", "BM and then nothing");
    test::writeFile(dir / "p.png", bitmap(2, 2, [](int, int) { return 0; }));
    const BitmapRelief relief;
    EXPECT_FALSE(GenerujPix2D(dir / "missing.bmp", relief));
    EXPECT_FALSE(GenerujPix2D(dir / "bad.jpg", relief));
    EXPECT_FALSE(GenerujPix2D(dir / "bad.bmp", relief));
    EXPECT_FALSE(GenerujPix2D(dir / "p.png", relief));
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[0].text, "The file does not exist:\r\n" + (dir / "missing.bmp").string());
    EXPECT_EQ(ui.messages[1].text,
              "The picture could not be read:\r\n" + (dir / "bad.jpg").string());
    EXPECT_TRUE(ui.messages[1].error);

    test::writeFile(dir / "ok.bmp", bitmap(2, 2, [](int, int) { return 0; }));
    EXPECT_FALSE(GenerujPix2D(dir / "ok.bmp", {3, 0, 0, 50}));
    EXPECT_EQ(ui.messages.back().text,
              "The width and the depth of the relief must be greater than 0.");
    // Beyond what the raster holds (1e30 mm took all memory), or higher than
    // any material.
    for (const BitmapRelief& huge : {BitmapRelief{3, 0, 1e30, 1e30}, BitmapRelief{3, 0, 8000, 8000},
                                     BitmapRelief{1e9, 0, 50, 50}}) {
        EXPECT_FALSE(GenerujPix2D(dir / "ok.bmp", huge));
        EXPECT_EQ(ui.messages.back().text.rfind("The model cannot be used: its size is beyond", 0),
                  0u)
            << ui.messages.back().text;
    }
    EXPECT_EQ(modelHeights[2][2], 7.0f);
    EXPECT_EQ(rasterSizeX, 4);
    EXPECT_EQ(modelSize.z, 7.0f);
    EXPECT_FALSE(rasterReady);
}

TEST_F(BMPtoRAWTest, HeightsFromTheRedValue) {
    // A picture of 3 columns: black, mid-grey 128 and white, over 10 x 5 mm.
    const Picture p = picture(3, 2, [](int x, int) { return x == 0 ? 0 : x == 1 ? 128 : 255; });
    reliefFromPicture(p, {3.0, 0.0, 10.0, 5.0});
    EXPECT_TRUE(rasterReady);
    EXPECT_EQ(rasterSizeX, 20);
    EXPECT_EQ(rasterSizeY, 10);
    EXPECT_EQ(rasterSizeZ, 26);
    EXPECT_EQ(modelSize.x, 10.0f);
    EXPECT_EQ(modelSize.z, 3.0f);
    EXPECT_EQ(modelExtents.maxY, 5.0);
    // sx = 2 / 21: columns 0 up to cell 5, 1 from cell 6 to 15, 2 from 16 on.
    EXPECT_FLOAT_EQ(modelHeights[5][3], 0.0f);
    EXPECT_NEAR(modelHeights[10][3], 1.506, 0.001);
    EXPECT_FLOAT_EQ(modelHeights[20][3], 3.0f);
    // Column 0 and row 0 are not written.
    EXPECT_EQ(modelHeights[0][3], 0.0f);
    EXPECT_EQ(modelHeights[20][0], 0.0f);

    // Inverted: black stands highest.
    reliefFromPicture(p, {0.0, 5.0, 10.0, 5.0});
    EXPECT_EQ(modelExtents.minZ, 0.0);
    EXPECT_EQ(modelExtents.maxZ, 5.0);
    EXPECT_FLOAT_EQ(modelHeights[5][3], 5.0f);
    EXPECT_FLOAT_EQ(modelHeights[20][3], 0.0f);

    EXPECT_DOUBLE_EQ(proportionalDepth(50, picture(200, 100, [](int, int) { return 0; })), 25.0);
}

TEST_F(BMPtoRAWTest, SamplesRowsFromTheBottomUp) {
    // 5 rows from the top: red = 50 * row; 4 x 4 mm at 0.5 mm gives 9 x 9 cells,
    // sy = 4 / 9, so cell j reads row 5 - round(j * 4 / 9).
    const Picture p = picture(5, 5, [](int, int y) { return 50 * y; });
    reliefFromPicture(p, {255.0, 0.0, 4.0, 4.0});
    for (int j = 1; j <= 8; ++j) {
        const int row = std::min(4, 5 - static_cast<int>(std::nearbyint(j * 4.0 / 9)));
        EXPECT_FLOAT_EQ(modelHeights[4][j], 50.0f * row) << j;
    }
}

TEST_F(BMPtoRAWTest, APictureOfFewRowsIsNotReadBeyondItsLastRow) {
    // One row, and three rows under a raster of 41 rows: the first sampled row
    // would be one past the picture's last; it reads the last row.
    reliefFromPicture(picture(4, 1, [](int x, int) { return 60 * x; }), {255.0, 0.0, 20.0, 20.0});
    EXPECT_FLOAT_EQ(modelHeights[40][1], 180.0f);
    EXPECT_FLOAT_EQ(modelHeights[40][40], 180.0f);
    reliefFromPicture(picture(2, 3, [](int, int y) { return 100 * y; }), {255.0, 0.0, 20.0, 20.0});
    EXPECT_FLOAT_EQ(modelHeights[7][1], 200.0f);  // row 3 - 0 = 3: the last row, 2
    EXPECT_FLOAT_EQ(modelHeights[7][40], 100.0f); // row 3 - round(40 * 2 / 41) = 1
    // A picture of one pixel.
    reliefFromPicture(picture(1, 1, [](int, int) { return 255; }), {2.0, 1.0, 3.0, 3.0});
    EXPECT_FLOAT_EQ(modelHeights[6][6], 2.0f);
}
