// The bitmap relief dialog's rules without its window: proportions, the
// values stored into the project, and a picture that cannot be read.
#include "TestSupport.h"

#include "app/FormBMP.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

// A 24-bit BMP of width x height pixels, every pixel of grey value `grey`.
void writeBmp(const std::filesystem::path& file, int width, int height, unsigned char grey) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const int size = 54 + rowBytes * height;
    std::string b(static_cast<size_t>(size), '\0');
    auto put = [&](int at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b[size_t(at + i)] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, std::uint32_t(size), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, std::uint32_t(width), 4);
    put(22, std::uint32_t(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width * 3; ++x) b[size_t(54 + row * rowBytes + x)] = char(grey);
    test::writeFile(file, b);
}

class ReliefForm : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        test::loadTexts();
        pixelSize = 0.5;
    }
    test::RecordingUserInterface ui;
    test::TempDir dir;
};

} // namespace

TEST_F(ReliefForm, SizeKeepsThePictureProportions) {
    writeBmp(dir / "wide.bmp", 200, 100, 128);
    TFormBMP form;
    form.BMPFileName = (dir / "wide.bmp").string();
    ASSERT_TRUE(form.FormActivate());
    EXPECT_FALSE(form.result);
    // The dialog's 50 mm width: 25 mm deep for 200 x 100 pixels.
    EXPECT_DOUBLE_EQ(form.relief.wysokosc, 25);
    form.SzerokoscChange(80);
    EXPECT_DOUBLE_EQ(form.relief.wysokosc, 40);
    form.wysokoscChange(10);
    EXPECT_DOUBLE_EQ(form.relief.Szerokosc, 20);
    // Without proportions the other one stays.
    form.Proporcjonalnie = false;
    form.SzerokoscChange(30);
    EXPECT_DOUBLE_EQ(form.relief.wysokosc, 10);
}

TEST_F(ReliefForm, OkBuildsTheRasterAndStoresTheValues) {
    writeBmp(dir / "grey.bmp", 200, 100, 128);
    TFormBMP form;
    form.BMPFileName = (dir / "grey.bmp").string();
    ASSERT_TRUE(form.FormActivate());
    form.SzerokoscChange(20); // 10 mm deep
    TProjektDane project;
    ASSERT_TRUE(form.btnOkClick(project));
    EXPECT_TRUE(form.result);
    EXPECT_EQ(project.BMPwysBialego, 3);
    EXPECT_EQ(project.BMPwysCzarnego, 0);
    EXPECT_EQ(project.BMPx, 20);
    EXPECT_EQ(project.BMPy, 10);
    EXPECT_TRUE(rasterReady);
    // Grey 128 between 0 and 3 mm: 3 / 255 * 128 = 1.50588 mm.
    EXPECT_NEAR(modelHeights[5][5], 1.50588, 1e-4);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReliefForm, UnreadablePictureIsReported) {
    test::writeFile(dir / "broken.bmp", "BM not a picture");
    TFormBMP form;
    form.BMPFileName = (dir / "broken.bmp").string();
    EXPECT_FALSE(form.FormActivate());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              txt("BMP_dialog", "bladOdczytuObrazu") + "\r\n" + (dir / "broken.bmp").string());
    EXPECT_TRUE(ui.messages[0].error);
    TProjektDane project;
    EXPECT_FALSE(form.btnOkClick(project));
    EXPECT_FALSE(form.result);
    EXPECT_EQ(project.BMPx, 0);
}
