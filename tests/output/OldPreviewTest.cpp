// The old-style 2D preview: the pixel of each point, the axes, the layer filter.
#include "output/OldPreview.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

void add(tWy& wy, std::vector<TrPkt3D> points, int layer = 0) {
    auto f = std::make_unique<tFigura>();
    f->poz = points;
    f->NrWarstwy = layer;
    for (const TrPkt3D& p : points) {
        wy.min = {std::min(wy.min.x, p.x), std::min(wy.min.y, p.y), std::min(wy.min.z, p.z)};
        wy.max = {std::max(wy.max.x, p.x), std::max(wy.max.y, p.y), std::max(wy.max.z, p.z)};
    }
    wy.ListaFigur.push_back(std::move(f));
}

} // namespace

TEST(OldPreview, PixelsOfYAcrossAndZUp) {
    tWy wy;
    add(wy, {{7, 0, 0}, {7, 100, 50}});
    const auto lines = wyswietlPlikWyjsciowy(wy, 0, -1, 2, 400, 300);
    // hx = 200 - round(95) = 105, vy = round(47.5) - 150 = -102.
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (PreviewPolyline{{105, 198}, {295, 103}}));
}

TEST(OldPreview, AxesByOs) {
    tWy wy;
    add(wy, {{0, 0, 0}, {40, 20, 10}});
    // s = 1 gives P(c) = round(0.95 c), halves to even: P(40) = 38, P(20) = 19,
    // P(10) = round(9.5) = 10. os 1, x across and z up: hx = 50 - 19 = 31,
    // vy = round(5) - 50 = -45; os 2, x across and y up: vy = round(9.5) - 50 = -40.
    EXPECT_EQ(wyswietlPlikWyjsciowy(wy, 1, -1, 1, 100, 100)[0],
              (PreviewPolyline{{31, 55}, {69, 45}}));
    EXPECT_EQ(wyswietlPlikWyjsciowy(wy, 2, -1, 1, 100, 100)[0],
              (PreviewPolyline{{31, 60}, {69, 41}}));
    EXPECT_TRUE(wyswietlPlikWyjsciowy(wy, 3, -1, 1, 100, 100).empty());
    EXPECT_TRUE(wyswietlPlikWyjsciowy(wy, -1, -1, 1, 100, 100).empty());
}

TEST(OldPreview, LayerFilterAndEmptyReader) {
    tWy wy;
    EXPECT_TRUE(wyswietlPlikWyjsciowy(wy, 0, -1, 2, 400, 300).empty());
    add(wy, {{0, 0, 0}, {0, 10, 0}}, 0);
    add(wy, {{0, 0, 5}, {0, 10, 5}}, 1);
    add(wy, {{0, 0, 9}}, 1);
    EXPECT_EQ(wyswietlPlikWyjsciowy(wy, 0, -1, 2, 400, 300).size(), 3u);
    const auto layer1 = wyswietlPlikWyjsciowy(wy, 0, 1, 2, 400, 300);
    ASSERT_EQ(layer1.size(), 2u);
    EXPECT_EQ(layer1[1].size(), 1u);
    EXPECT_TRUE(wyswietlPlikWyjsciowy(wy, 0, 2, 2, 400, 300).empty());
}

TEST(OldPreview, HugeCoordinatesStayIntegers) {
    tWy wy;
    add(wy, {{0, -1e30f, 0}, {0, 1e30f, 1e30f}});
    const auto lines = wyswietlPlikWyjsciowy(wy, 0, -1, 2, 400, 300);
    // P(c) is held within ±5e8: hx = 200 - 5e8 = -499999800, vy = 2.5e8 - 150.
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (PreviewPolyline{{-999999800, 250000150}, {200, -249999850}}));
}

TEST(OldPreview, ScaleFitsTheSizeSeenAt40Degrees) {
    // 110 × 140 × 65 mm: min(400 / 110, 300 / (65 cos 40° + 140 sin 40°)).
    EXPECT_NEAR(previewScaleFor({110, 140, 65}, 400, 300), 2.146181, 1e-6);
    EXPECT_NEAR(previewScaleFor({100, 10, 10}, 400, 300), 4.0, 1e-12);
}
