// Spirals made to descend after their points were raised: small climbs raised
// away, large ones end the spiral, other figures left alone.
#include "generation/SpiralaiLaczenie.h"
#include "geometry/Figury.h"

#include <gtest/gtest.h>

#include <vector>

using namespace korvane;

namespace {

// A figure along x, one point a mm, at the heights given.
void add(std::vector<float> heights, int spirala) {
    auto f = std::make_unique<tFigura>();
    for (size_t k = 0; k < heights.size(); ++k)
        f->poz.push_back({static_cast<float>(k), 2, heights[k]});
    f->spirala = spirala;
    f->laczona = spirala == 1;
    f->przestawczyZ = 7;
    figureList.push_back(std::move(f));
}

// Each figure's x and z.
std::vector<std::vector<std::pair<float, float>>> pieces() {
    std::vector<std::vector<std::pair<float, float>>> all;
    for (const auto& f : figureList) {
        all.emplace_back();
        for (const TrPkt3D& p : f->poz) all.back().emplace_back(p.x, p.z);
    }
    return all;
}

using Pieces = std::vector<std::vector<std::pair<float, float>>>;

} // namespace

TEST(KeepSpiralsDescending, SmallClimbsAreRaisedAwayFromTheEnd) {
    // 4.8 lies 0.05 below the 4.85 after it, 4.9 0.05 below 4.95.
    add({5.0f, 4.9f, 4.95f, 4.8f, 4.85f, 4.7f}, 1);
    // Only the first point can rise: it is raised whatever it takes.
    add({4.0f, 5.0f, 4.5f}, 1);
    keepSpiralsDescending(0.1);
    EXPECT_EQ(pieces(),
              (Pieces{{{0, 5.0f}, {1, 4.95f}, {2, 4.95f}, {3, 4.85f}, {4, 4.85f}, {5, 4.7f}},
                      {{0, 5.0f}, {1, 5.0f}, {2, 4.5f}}}));
}

TEST(KeepSpiralsDescending, ALargeClimbEndsTheSpiralThere) {
    add({1.0f, 3.0f}, 0); // no spiral: it may climb
    // 5.0 would have to rise 0.8 to the 5.8 after it.
    add({6.0f, 5.5f, 5.0f, 5.8f, 5.6f, 5.2f}, 1);
    add({2.0f, 2.5f}, 0);
    keepSpiralsDescending(0.25);
    EXPECT_EQ(pieces(), (Pieces{{{0, 1.0f}, {1, 3.0f}},
                                {{0, 6.0f}, {1, 5.5f}, {2, 5.0f}},
                                {{3, 5.8f}, {4, 5.6f}, {5, 5.2f}},
                                {{0, 2.0f}, {1, 2.5f}}}));
    // Both pieces are spirals with the figure's marks.
    for (size_t i : {1, 2}) {
        EXPECT_EQ(figureList[i]->spirala, 1);
        EXPECT_TRUE(figureList[i]->laczona);
        EXPECT_EQ(figureList[i]->przestawczyZ, 7);
    }
    EXPECT_EQ(figureList[2]->Pmin.x, 3.0f);
    EXPECT_EQ(figureList[2]->Pmax.z, 5.8f);
}

TEST(KeepSpiralsDescending, ASteadyClimbLeavesNoOnePointPiece) {
    // 4.5 ends the piece of 5.5 and 5.0; 4.0 would leave 4.5 alone: it rises.
    add({5.0f, 4.0f, 4.5f, 5.5f, 5.0f}, 1);
    keepSpiralsDescending(0.1);
    EXPECT_EQ(pieces(), (Pieces{{{0, 5.0f}, {1, 4.5f}, {2, 4.5f}}, {{3, 5.5f}, {4, 5.0f}}}));
}
