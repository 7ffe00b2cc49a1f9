// Containment of closed figures.
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "generation/GenState.h"
#include "geometry/Figury.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

void square(float x0, float y0, float size, bool closed = true) {
    auto f = std::make_unique<tFigura>();
    f->poz = {{x0, y0, 0}, {x0 + size, y0, 0}, {x0 + size, y0 + size, 0}, {x0, y0 + size, 0}};
    if (closed) f->poz.push_back({x0, y0, 0});
    f->zamknieta = closed;
    addFigure(std::move(f));
}

} // namespace

TEST(CoWczym, NestedSquaresGetTheirDeepestContainer) {
    pixelSize = 0.1;
    figureList.clear();
    maxNestingLevel = 0;
    square(2, 2, 2);          // 0: inside 1 and 2
    square(0, 0, 10);         // 1: outermost
    square(1, 1, 6);          // 2: inside 1
    square(20, 20, 3);        // 3: alone
    square(2, 2, 2);          // 4: the same path as 0: not inside it
    square(5, 5, 1, false);   // 5: open, inside 2; contains nothing
    square(5.2f, 5.2f, 0.5f); // 6: inside 2 only (5 is open)
    CoWczym(0);
    EXPECT_EQ(figureList[0]->lezy_w, 2);
    EXPECT_EQ(figureList[0]->poziom, 2);
    EXPECT_EQ(figureList[1]->lezy_w, -1);
    EXPECT_EQ(figureList[1]->poziom, 0);
    EXPECT_EQ(figureList[2]->lezy_w, 1);
    EXPECT_EQ(figureList[2]->poziom, 1);
    EXPECT_EQ(figureList[3]->lezy_w, -1);
    EXPECT_EQ(figureList[4]->lezy_w, 2);
    EXPECT_EQ(figureList[5]->lezy_w, 2);
    EXPECT_EQ(figureList[6]->lezy_w, 2);
    EXPECT_EQ(maxNestingLevel, 2);

    // From index 3 on only: figure 4 is alone there.
    CoWczym(3);
    EXPECT_EQ(figureList[4]->lezy_w, -1);
    EXPECT_EQ(figureList[6]->lezy_w, -1);
    figureList.clear();
}
