// The mixed strategy: the slope steps, the gaps, the regions and the spirals
// on hand-made rasters, and the whole strategy on the test relief.
#include "generation/Mieszana.h"
#include "GapSupport.h"
#include "SweepSupport.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/DodatkoweWatek.h"
#include "generation/Kontury.h"
#include "generation/MotionMap.h"
#include "generation/RegionMask.h"
#include "generation/SpiralaiLaczenie.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace korvane;

namespace {

TOperacjaDane mixed(double step) {
    TOperacjaDane o;
    o.idTyp = opMixed;
    o.warstwaSzer = step;
    o.granicaZdolna = 0;
    o.granicaZgorna = 100;
    o.polaczoneKonce = true;
    return o;
}

// The mixed strategy on the test relief with a 3 mm ball; the gaps filled by
// `workers` threads.
FigureList mixedRelief(int workers, std::vector<std::string>* steps = nullptr) {
    figureList.clear();
    test::makeRelief(30, 20, 5);
    test::ballMotionMap(3, 2);
    generujMieszane(mixed(0.5), workers, [&](const char* name) {
        if (steps) steps->push_back(name);
    });
    return std::move(figureList);
}

} // namespace

TEST(Mieszana, ReliefPathsStayOnTheMotionMapInsideThePlan) {
    std::vector<std::string> steps;
    const FigureList figures = mixedRelief(1, &steps);
    EXPECT_EQ(steps,
              (std::vector<std::string>{"start? ", "warstwy wypukle", "warstwy wklesle",
                                        "usuwanie gestych", "spirala", "sortowanie", "koniec"}));
    ASSERT_GT(figures.size(), 3u);
    size_t points = 0, spirals = 0;
    for (const auto& f : figures) {
        points += f->poz.size();
        spirals += f->spirala == 1;
        for (const TrPkt3D& p : f->poz) {
            EXPECT_GE(p.z, motionHeightInterpolated(p) - 1e-4) << p.x << " " << p.y;
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 30);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, 20);
        }
    }
    EXPECT_GT(points, 1000u);
    EXPECT_GT(spirals, 0u);
}

TEST(Mieszana, TheGapsAreFilledAlikeWhateverTheThreadCount) {
    const FigureList one = mixedRelief(1);
    const FigureList many = mixedRelief(std::max(2, motionWorkerCount()));
    ASSERT_EQ(one.size(), many.size());
    for (size_t k = 0; k < one.size(); ++k) {
        ASSERT_EQ(one[k]->count(), many[k]->count()) << k;
        for (size_t i = 0; i < one[k]->poz.size(); ++i) {
            EXPECT_EQ(one[k]->poz[i].x, many[k]->poz[i].x);
            EXPECT_EQ(one[k]->poz[i].y, many[k]->poz[i].y);
            EXPECT_EQ(one[k]->poz[i].z, many[k]->poz[i].z);
        }
    }
}

namespace {

// A 10 x 10 mm raster of half-millimetre cells with the motion map (and its
// working copy) given by height(x, y) in mm.
template <class F> void map(F height) {
    pixelSize = 0.5;
    rasterSizeX = rasterSizeY = 20;
    modelSize = {10, 10, 10};
    allocateRasters();
    for (int ix = 0; ix <= 20; ++ix)
        for (int iy = 0; iy <= 20; ++iy)
            motionHeights[ix][iy] = static_cast<float>(height(ix * 0.5, iy * 0.5));
    offsetHeights = motionHeights;
}

tFigura line(float x0, float y0, float x1, float y1, int points) {
    tFigura f;
    for (int k = 0; k < points; ++k) {
        const float t = float(k) / float(points - 1);
        f.poz.push_back({x0 + t * (x1 - x0), y0 + t * (y1 - y0), 0});
    }
    return f;
}

} // namespace

TEST(Mieszana, TheLevelStepFollowsTheSlope) {
    const double w = 0.4, tan30 = std::tan(std::numbers::pi / 6);
    // A 30 degree slope: the next contour half a step higher, whether the
    // slope rises along x or along y.
    map([&](double x, double) { return tan30 * x; });
    EXPECT_NEAR(contourStep(line(5, 2, 5, 8, 13), w), 0.5 * w, 1e-6);
    map([&](double, double y) { return tan30 * y; });
    EXPECT_NEAR(contourStep(line(2, 5, 8, 5, 13), w), 0.5 * w, 1e-6);
    // A wall of 10 mm between two cells: one cell away the relief rises 5 mm
    // over half a millimetre, atan(10) = 84.3 degrees: almost a whole step.
    map([](double x, double) { return x >= 5 ? 10.0 : 0.0; });
    EXPECT_NEAR(contourStep(line(4.75f, 2, 4.75f, 8, 13), w), w * std::sin(std::atan(10.0)), 1e-6);
    // A flat top: a hundredth of a cell.
    map([](double, double) { return 3.0; });
    EXPECT_DOUBLE_EQ(contourStep(line(2, 2, 8, 8, 13), w), 0.005);
}

namespace {

tFigura circle(float cx, float cy, float radius, float z, int points) {
    tFigura f;
    for (int k = 0; k <= points; ++k) {
        const double a = 2 * std::numbers::pi * (k % points) / points;
        f.poz.push_back({static_cast<float>(cx + radius * std::cos(a)),
                         static_cast<float>(cy + radius * std::sin(a)), z});
    }
    f.zamknieta = true;
    f.fig_ppz = z;
    f.PoliczSrodek();
    return f;
}

void add(tFigura f) {
    figureList.push_back(std::make_unique<tFigura>(std::move(f)));
}

} // namespace

TEST(DodatkoweWatek, GapsOfOverOnePointThreeStepsUnderTwentyGetContours) {
    // A contour of radius 30 mm and four derived ones 3.5, 1.2, 1.4 and 25 mm
    // inside it (their points drawn at the same height), a step of 1 mm.
    add(circle(35, 35, 30, 0, 720));
    for (float gap : {3.5f, 1.2f, 1.4f, 25.0f}) {
        tFigura f = circle(35, 35, 30 - gap, 0, 720);
        f.fig_ppz = 1;
        f.pochodzi = 0;
        add(std::move(f));
    }
    const std::vector<GapJob> jobs = gapJobs(5, 1);
    // 3.5: Round(3.5) - 1 = 3 contours; 1.2 is not above 1.3; 1.4: Round(1.4)
    // - 1 = 0, just the one halfway; 25: 24 is not under 20.
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].Locali, 1);
    EXPECT_EQ(jobs[0].Localilosc, 3);
    EXPECT_EQ(jobs[0].Localdz, 1.0f);
    EXPECT_EQ(jobs[0].Localz, 0.0f);
    EXPECT_EQ(jobs[1].Locali, 3);
    EXPECT_EQ(jobs[1].Localilosc, 0);
}

namespace {

// A cone 8 mm high and 8 mm in radius at the middle of the 10 x 10 raster
// (its foot cut by the raster's edges), the contour at 1 mm and the one at
// 3 mm derived from it.
void coneWithTwoContours() {
    map([](double x, double y) { return std::max(0.0, 8 - std::hypot(x - 5, y - 5)); });
    traceContours(motionHeights, 0, 0, 20, 20, 5);
    traceContours(motionHeights, 0, 0, 20, 20, 7);
    ASSERT_EQ(figureList.size(), 2u);
    figureList[0]->fig_ppz = 5;
    figureList[1]->pochodzi = 0;
    figureList[1]->wypukla = true;
}

std::vector<double> levelsFrom(size_t first) {
    std::vector<double> levels;
    for (size_t k = first; k < figureList.size(); ++k) {
        EXPECT_TRUE(figureList[k]->dodatkowa);
        EXPECT_EQ(figureList[k]->pochodzi, 0);
        levels.push_back(figureList[k]->fig_ppz);
    }
    return levels;
}

} // namespace

TEST(DodatkoweWatek, IntermediateContoursSplitTheGapEvenly) {
    coneWithTwoContours();
    fillGaps({{1, 3, 2, 5}}, 1);
    EXPECT_EQ(levelsFrom(2), (std::vector<double>{5.5, 6, 6.5}));
    for (size_t k = 2; k < 5; ++k) {
        const tFigura& f = *figureList[k];
        EXPECT_TRUE(f.zamknieta);
        for (const TrPkt3D& p : f.poz)
            EXPECT_NEAR(std::hypot(p.x - 5, p.y - 5), 8 - f.fig_ppz, 0.3) << k;
    }
    // An even count gets one more halfway.
    figureList.resize(2);
    fillGaps({{1, 2, 2, 5}}, 1);
    const std::vector<double> levels = levelsFrom(2);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_NEAR(levels[0], 5 + 2.0 / 3, 1e-6);
    EXPECT_NEAR(levels[1], 5 + 4.0 / 3, 1e-6);
    EXPECT_EQ(levels[2], 6);
    figureList.resize(2);
    fillGaps({{1, 0, 2, 5}}, 1);
    EXPECT_EQ(levelsFrom(2), (std::vector<double>{6}));
}

TEST(DodatkoweWatek, ManyWorkersGiveTheListOfOne) {
    coneWithTwoContours();
    const std::vector<GapJob> jobs = {
        {1, 3, 2, 5}, {1, 2, 2, 5}, {1, 0, 2, 5}, {1, 5, 1.5f, 5}, {1, 1, 2, 5}};
    fillGaps(jobs, 1);
    FigureList one = std::move(figureList);
    figureList.clear();
    coneWithTwoContours();
    fillGaps(jobs, 4);
    ASSERT_EQ(figureList.size(), one.size());
    for (size_t k = 0; k < one.size(); ++k) {
        EXPECT_EQ(figureList[k]->fig_ppz, one[k]->fig_ppz);
        ASSERT_EQ(figureList[k]->count(), one[k]->count());
        for (size_t i = 0; i < one[k]->poz.size(); ++i) {
            EXPECT_EQ(figureList[k]->poz[i].x, one[k]->poz[i].x);
            EXPECT_EQ(figureList[k]->poz[i].y, one[k]->poz[i].y);
        }
    }
}

TEST(RegionMask, ACircleUpwardsKeepsItsInsideAndWhatRisesInItsBox) {
    // 1 mm cells at 1 mm, the corner (8, 8) of the circle's box at 5 mm, a
    // cell just beyond the box at 6 mm; a circle of radius 3 around (5, 5) at
    // 2 mm.
    pixelSize = 1;
    rasterSizeX = rasterSizeY = 10;
    modelSize = {10, 10, 6};
    allocateRasters();
    offsetHeights.fill(1);
    offsetHeights[8][8] = 5;
    offsetHeights[1][9] = 6;
    const tFigura c = circle(5, 5, 3, 2, 72);
    const CellBox box = prepareRegion(c, 1, 2, flatMask, cellStatus);
    EXPECT_EQ(box.x0, 2);
    EXPECT_EQ(box.y0, 2);
    EXPECT_EQ(box.x1, 8);
    EXPECT_EQ(box.y1, 8);
    EXPECT_EQ(cellStatus[2][2].stat, 0);             // reached from the box's border: outside
    EXPECT_EQ(cellStatus[8][8].stat, regionOutside); // too high to qualify: stays in
    EXPECT_EQ(cellStatus[8][5].stat, regionOutline | regionOutside);
    EXPECT_EQ(cellStatus[5][5].stat, regionOutside);
    EXPECT_EQ(flatMask[8][8], 5.0f);
    EXPECT_EQ(flatMask[5][5], 1.0f);
    EXPECT_EQ(flatMask[2][2], 1.0f);
    EXPECT_EQ(flatMask[1][9], 2.0f); // outside never above the level
}

TEST(RegionMask, ContoursAreConvexConcaveOrWedged) {
    pixelSize = 1;
    rasterSizeX = rasterSizeY = 10;
    modelSize = {10, 10, 5};
    allocateRasters();
    // A diamond through (3, 5), (5, 7), (7, 5), (5, 3).
    tFigura f;
    for (auto [x, y] : {std::pair{3, 5}, {5, 7}, {7, 5}, {5, 3}, {3, 5}})
        f.poz.push_back({float(x), float(y), 2});
    f.zamknieta = true;

    // On a cone every extreme point sees the relief rise inwards: convex.
    for (int x = 0; x <= 10; ++x)
        for (int y = 0; y <= 10; ++y)
            offsetHeights[x][y] = float(5 - std::max(std::abs(x - 5), std::abs(y - 5)));
    classifyContour(f);
    EXPECT_TRUE(f.wypukla);
    EXPECT_EQ(f.wklinowana, 0);

    // Flat but one higher cell inside the left point and one lower outside the
    // right: up 1 and down 1, concave.
    offsetHeights.fill(1);
    offsetHeights[4][5] = 2;
    offsetHeights[8][5] = 0;
    classifyContour(f);
    EXPECT_FALSE(f.wypukla);

    // Grooves across the contour at the left and the right point.
    offsetHeights.fill(1);
    for (int x : {2, 4, 6, 8}) offsetHeights[x][5] = 2;
    classifyContour(f);
    EXPECT_EQ(f.wklinowana, 2);
}

TEST(SpiralaiLaczenie, AStackOfCloseContoursBecomesOneDescendingSpiral) {
    map([](double, double) { return 0.0; });
    modelSize = {20, 20, 5};
    // Rings at 3, 2 and 1 mm of radius 3, 4 and 5 mm: 1.41 mm apart.
    add(circle(10, 10, 3, 3, 64));
    add(circle(10, 10, 4, 2, 64));
    add(circle(10, 10, 5, 1, 64));
    TOperacjaDane o = mixed(1);
    o.ObliczeniaPrecyzyjne = true; // no layer joining
    spiralaiLaczenie(0, o);
    ASSERT_EQ(figureList.size(), 1u);
    const tFigura& s = *figureList[0];
    EXPECT_EQ(s.spirala, 1);
    EXPECT_TRUE(s.laczona);
    EXPECT_FALSE(s.zamknieta);
    // The top ring, a turn down to each next ring, the lowest ring once round.
    EXPECT_EQ(s.count(), 65 + 64 + 64 + 65);
    EXPECT_EQ(s.poz.front().z, 3.0f);
    EXPECT_EQ(s.poz.back().z, 1.0f);
    for (size_t k = 1; k < s.poz.size(); ++k) EXPECT_LE(s.poz[k].z, s.poz[k - 1].z) << k;

    // Rings 5.4 mm apart stay as they are.
    figureList.clear();
    add(circle(10, 10, 3, 3, 64));
    add(circle(10, 10, 8, 1, 64));
    spiralaiLaczenie(0, o);
    ASSERT_EQ(figureList.size(), 2u);
    for (const auto& f : figureList) {
        EXPECT_EQ(f->spirala, 0);
        EXPECT_TRUE(f->zamknieta);
    }
}

TEST(SpiralaiLaczenie, APrintersSpiralStartsWithItsFirstTransitionWithinACellOfHeight) {
    settings.printer3D = true;
    map([](double, double) { return 0.0; });
    modelSize = {20, 20, 5};
    // Rings at 2, 1.5 and 0.5 mm: the first two lie a cell apart in height,
    // the third two cells below the second.
    add(circle(10, 10, 3, 2, 64));
    add(circle(10, 10, 4, 1.5f, 64));
    add(circle(10, 10, 5, 0.5f, 64));
    TOperacjaDane o = mixed(1);
    o.ObliczeniaPrecyzyjne = true; // no layer joining
    spiralaiLaczenie(0, o);
    ASSERT_EQ(figureList.size(), 2u);
    const tFigura& ring = *figureList[0];
    EXPECT_TRUE(ring.zamknieta);
    EXPECT_EQ(ring.poz.front().z, 0.5f);
    const tFigura& s = *figureList[1];
    EXPECT_EQ(s.spirala, 1);
    // No top ring: the turn down from it, then the lower ring once round.
    EXPECT_EQ(s.count(), 64 + 65);
    EXPECT_EQ(s.poz.front().z, 2.0f);
    EXPECT_EQ(s.poz.back().z, 1.5f);
}

TEST(Mieszana, AddedContoursAtOddPlacesAreCutRunningBackwards) {
    // A contour along y = 0 from x = 0 to 30; added ones at levels less than
    // a step from it: along y = 0.3 from x = -10 to 40 (its middle runs
    // within 0.66 steps), at places 1 and 2.
    auto straight = [](float x0, float x1, float y, float z, bool added) {
        auto f = std::make_unique<tFigura>();
        for (float x = x0; x <= x1 + 1e-3f; x += 0.1f) f->poz.push_back({x, y, z});
        f->fig_ppz = z;
        f->dodatkowa = added;
        f->PoliczSrodek();
        return f;
    };
    for (const size_t place : {1u, 2u}) {
        figureList.clear();
        addFigure(straight(0, 30, 0, 1, false));
        if (place == 2) addFigure(straight(0, 30, 60, 1, false));
        addFigure(straight(-10, 40, 0.3f, 1.2f, true));
        addFigure(straight(-10, 40, 100, 1.2f, true)); // near nothing: whole
        thinDenseContours(1);
        std::vector<const tFigura*> pieces;
        for (const auto& f : figureList)
            if (f->dzielona) pieces.push_back(f.get());
        ASSERT_EQ(pieces.size(), 2u) << place;
        for (const tFigura* piece : pieces) {
            EXPECT_FALSE(piece->odwrotna);
            EXPECT_FLOAT_EQ(piece->poz.front().y, 0.3f);
            // At place 1 both pieces run towards -x, at place 2 towards +x.
            EXPECT_EQ(piece->poz.front().x > piece->poz.back().x, place == 1) << place;
        }
        const tFigura& whole = *figureList.back();
        EXPECT_FALSE(whole.dzielona);
        EXPECT_FALSE(whole.odwrotna);
        EXPECT_FLOAT_EQ(whole.poz.front().x, -10);
    }
}

TEST(DodatkoweWatek, TheGapSearchFindsWhatThePlainLoopFinds) {
    // Contours of the test relief every 2 mm, each derived from every contour
    // 1.5 mm below it in turn: near and far parents, inside and beside.
    test::makeRelief(30, 20, 5);
    motionHeights = modelHeights;
    std::vector<size_t> levelStarts;
    for (double z = 0.5; z < 11; z += 1.5) {
        levelStarts.push_back(figureList.size());
        traceContours(motionHeights, 0, 0, rasterSizeX, rasterSizeY, z);
    }
    levelStarts.push_back(figureList.size());
    int parentOf = 0;
    for (size_t level = 1; level + 1 < levelStarts.size(); ++level)
        for (size_t k = levelStarts[level]; k < levelStarts[level + 1]; ++k) {
            const size_t below = levelStarts[level - 1], count = levelStarts[level] - below;
            if (count > 0) figureList[k]->pochodzi = static_cast<int>(below + parentOf++ % count);
        }
    const int count = static_cast<int>(figureList.size());
    for (double step : {0.2, 0.5, 1.0}) {
        const std::vector<GapJob> jobs = gapJobs(count, step);
        EXPECT_FALSE(jobs.empty()) << step;
        EXPECT_TRUE(test::sameJobs(jobs, test::referenceGapJobs(count, step))) << step;
    }
}
