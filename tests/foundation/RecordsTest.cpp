#include "foundation/Records.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(Material, CompleteOnlyForTheThreeSourcesWithTheirSizes) {
    TMaterial block;
    block.rozmX = 10, block.rozmY = 20;
    EXPECT_FALSE(block.complete()); // no height yet
    block.rozmZ = 5;
    EXPECT_TRUE(block.complete());

    TMaterial coating;
    coating.zrodlo = materialCoating;
    EXPECT_FALSE(coating.complete());
    coating.gruboscPowloki = 0.5L;
    EXPECT_TRUE(coating.complete());

    TMaterial stock;
    stock.zrodlo = materialFile;
    EXPECT_TRUE(stock.complete());

    // A source byte no dialog writes (a damaged project file) describes nothing,
    // however complete the other fields look.
    for (std::uint8_t source : {3, 7, 255}) {
        TMaterial damaged = block;
        damaged.zrodlo = source;
        damaged.gruboscPowloki = 1;
        EXPECT_FALSE(damaged.complete()) << int(source);
    }
}

} // namespace
} // namespace korvane
