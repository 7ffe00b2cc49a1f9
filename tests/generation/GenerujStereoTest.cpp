// The layered print on small models: its layers and their heights, the
// crossed infill, the order of islands and the travel links between them.
#include "generation/GenerujStereo.h"
#include "StereoSupport.h"
#include "foundation/OperationTypes.h"
#include "generation/GenState.h"
#include "generation/Przejazdy.h"
#include "generation/StereoObrysy.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <numbers>

using namespace korvane;
using namespace korvane::test;

namespace {

class GenerujStereoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        figureList.clear();
        generationTerminate = false;
        settings.printer3D = true;
    }
    void TearDown() override {
        figureList.clear();
        settings = TUstawienia{};
        modelTriangles.clear();
    }
};

TOperacjaDane print(double width, double thickness, int perimeters) {
    TOperacjaDane o;
    o.nazwa = "Print";
    o.idTyp = opPrinting;
    o.warstwaSzer = width;
    o.warstwaGrubosc = thickness;
    o.iloscObrysow = perimeters;
    return o;
}

bool isLink(const tFigura& f) {
    return f.Przestawcza == 1;
}

} // namespace

TEST(PrintLayers, CountHeightsAndInfillAngles) {
    EXPECT_EQ(liczbaWarstw(2.0, 0.2), 10);
    EXPECT_EQ(liczbaWarstw(1.8, 0.2), 10); // exactly nine layers high: 9.5 rounds to 10
    EXPECT_EQ(liczbaWarstw(2.1, 0.2), 11);
    EXPECT_EQ(liczbaWarstw(0, 0.2), 0);
    EXPECT_EQ(liczbaWarstw(2, 0), 0);
    EXPECT_DOUBLE_EQ(wysokoscWarstwy(0, 0.2), 0.02);
    EXPECT_NEAR(wysokoscWarstwy(1, 0.2), 0.22, 1e-12);
    EXPECT_NEAR(wysokoscWarstwy(9, 0.2), 1.82, 1e-12);
    EXPECT_EQ(katWypelnienia(0), 135.0);
    EXPECT_EQ(katWypelnienia(1), 45.0);
    EXPECT_EQ(katWypelnienia(2), 135.0);
    const auto levels = ringLevels(2, 0.4);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_DOUBLE_EQ(levels[0], 0.2);
    EXPECT_DOUBLE_EQ(levels[1], 0.6);
    EXPECT_DOUBLE_EQ(levels[2], 0.9);
    EXPECT_EQ(ringLevels(0, 0.4), std::vector<double>{0.2});
}

TEST_F(GenerujStereoTest, ABoxTwoMillimetresHighPrintsTenLayersWithCrossedInfill) {
    TriangleList box;
    addBox(box, 0, 0, 0, 10, 10, 2);
    useTriangles(box, 0.2);
    GenerujStereo(print(0.4, 0.2, 2));
    ASSERT_FALSE(figureList.empty());
    std::map<int, std::vector<const tFigura*>> layers;
    for (const auto& f : figureList)
        if (!isLink(*f)) layers[f->NrWarstwy].push_back(f.get());
    ASSERT_EQ(layers.size(), 10u);
    for (auto& [k, paths] : layers) {
        ASSERT_GE(k, 0);
        ASSERT_LT(k, 10);
        for (const tFigura* f : paths) {
            EXPECT_FALSE(f->glowna) << "outlines are removed";
            for (const TrPkt3D& p : f->poz) {
                EXPECT_NEAR(p.z, 0.02 + 0.2 * k, 1e-5);
                // Inside the box. A printer's rings stand on the cells where
                // they cross their level, up to a cell (0.2 mm) off it, and the
                // smoothing of the joined paths may take them nearer still: the
                // first one, half a line inside the wall, comes within 0.01 mm
                // of it.
                EXPECT_GE(p.x, 0);
                EXPECT_LE(p.x, 10);
                EXPECT_GE(p.y, 0);
                EXPECT_LE(p.y, 10);
            }
        }
        // The first perimeter runs half a line inside the wall, within half a cell.
        bool perimeter = false;
        for (const tFigura* f : paths)
            for (const TrPkt3D& p : f->poz) perimeter = perimeter || std::fabs(p.x - 0.2) < 0.1;
        EXPECT_TRUE(perimeter) << "layer " << k;
        // Infill strokes: long runs at -45 degrees on even layers, 45 on odd.
        int along = 0, against = 0;
        for (const tFigura* f : paths)
            for (size_t i = 1; i < f->poz.size(); ++i) {
                const double dx = f->poz[i].x - f->poz[i - 1].x;
                const double dy = f->poz[i].y - f->poz[i - 1].y;
                if (std::hypot(dx, dy) < 2) continue;
                along += std::fabs(dx - dy) < 1e-3;
                against += std::fabs(dx + dy) < 1e-3;
            }
        if (k % 2 == 0) {
            EXPECT_GT(against, 5) << "layer " << k;
            EXPECT_EQ(along, 0) << "layer " << k;
        } else {
            EXPECT_GT(along, 5) << "layer " << k;
            EXPECT_EQ(against, 0) << "layer " << k;
        }
    }
    // One island: the layers follow one another in the list.
    int lastLayer = -1;
    for (const auto& f : figureList) {
        EXPECT_GE(f->NrWarstwy, lastLayer);
        lastLayer = f->NrWarstwy;
    }
    EXPECT_EQ(printProgress, 100);
}

TEST_F(GenerujStereoTest, TwoIslandsArePrintedOneAfterTheOtherWithAHopBetween) {
    TriangleList model;
    addBox(model, 0, 0, 0, 5, 5, 1);
    addBox(model, 15, 0, 0, 20, 5, 1);
    useTriangles(model, 0.2);
    GenerujStereo(print(0.4, 0.25, 1));
    ASSERT_FALSE(figureList.empty());
    // The island of each path, in list order: one island through all its
    // layers, then the other.
    std::vector<int> order;
    for (const auto& f : figureList) {
        if (isLink(*f)) continue;
        const int island = f->poz.front().x < 10 ? 0 : 1;
        if (order.empty() || order.back() != island) order.push_back(island);
    }
    ASSERT_EQ(order.size(), 2u);
    // Between the islands the straight move crosses both outlines and no arc
    // can avoid them: the link is the hop, 3 mm up half way.
    int hops = 0;
    for (size_t i = 1; i + 1 < figureList.size(); ++i) {
        const tFigura& f = *figureList[i];
        if (!isLink(f)) continue;
        const bool between =
            (figureList[i - 1]->poz.back().x < 10) != (figureList[i + 1]->poz.front().x < 10);
        if (!between) continue;
        ++hops;
        ASSERT_EQ(f.count(), 17);
        EXPECT_NEAR(f.poz[8].z, f.poz[0].z + 3, 1e-5);
        EXPECT_EQ(f.poz.front().x, figureList[i - 1]->poz.back().x);
        EXPECT_EQ(f.poz.back().x, figureList[i + 1]->poz.front().x);
    }
    EXPECT_EQ(hops, 1);
}

TEST(TravelLinks, AnArcGoesRoundAHoleAndAHopOverAGap) {
    modelSize = {10, 10, 5};
    FigureList outlines;
    outlines.push_back(square(0, 0, 10, 10, 1));
    outlines.push_back(square(4, 4, 6, 6, 1));
    for (auto& f : outlines) f->glowna = true, f->NrWarstwy = 0;
    const OutlineSegments segments(outlines);
    const TrPkt3D p{2, 5, 1}, q{8, 5, 1};
    ASSERT_TRUE(segments.crosses(0, p, q));
    EXPECT_FALSE(segments.crosses(1, p, q)); // another layer has no outline there
    const auto arc = detour(segments, 0, p, q);
    ASSERT_GT(arc.size(), 3u);
    EXPECT_EQ(arc.front().x, 2.0f);
    EXPECT_EQ(arc.back().x, 8.0f);
    for (size_t i = 0; i + 1 < arc.size(); ++i) {
        EXPECT_FALSE(segments.crosses(0, arc[i], arc[i + 1])) << i;
        EXPECT_FLOAT_EQ(arc[i].z, 1);
        EXPECT_GE(arc[i].x, 0);
        EXPECT_LE(arc[i].y, 10);
    }

    // Two islands side by side: every way out of one crosses its outline.
    FigureList apart;
    apart.push_back(square(0, 0, 4, 10, 1));
    apart.push_back(square(6, 0, 10, 10, 1));
    for (auto& f : apart) f->glowna = true, f->NrWarstwy = 0;
    const auto hop = detour(OutlineSegments(apart), 0, p, q);
    ASSERT_EQ(hop.size(), 17u);
    EXPECT_FLOAT_EQ(hop[8].x, 5);
    EXPECT_FLOAT_EQ(hop[8].z, 4);
    EXPECT_NEAR(hop[1].z, 1 + 3 * std::cos(-7 * std::numbers::pi / 16), 1e-6);
    EXPECT_NEAR(hop[1].x, 2 + 6 * (1 + std::sin(-7 * std::numbers::pi / 16)) / 2, 1e-5);
    modelSize = {};
}
