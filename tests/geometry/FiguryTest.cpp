// Figures: bounding data, duplicate removal, nearest point, list orders.
#include "geometry/Figury.h"
#include "foundation/State.h"
#include "generation/GenState.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

std::unique_ptr<tFigura> figure(std::initializer_list<TrPkt3D> points) {
    auto f = std::make_unique<tFigura>();
    for (const auto& p : points) f->dodajPunktTrPkt3D(p);
    return f;
}

} // namespace

TEST(Figury, CreateValues) {
    tFigura f;
    EXPECT_TRUE(f.wybierajaca);
    EXPECT_EQ(f.pochodzi, -1);
    EXPECT_EQ(f.orgIndex, -1);
    EXPECT_EQ(f.lezy_w, -1);
    EXPECT_EQ(f.nowyNumer, -1);
    EXPECT_EQ(f.NrWarstwy, -1);
    EXPECT_EQ(f.grupa, -1);
    EXPECT_EQ(f.nrKreski, -1);
    EXPECT_EQ(f.minYindex, 0);
    EXPECT_FALSE(f.zamknieta);
    EXPECT_TRUE(f.poz.empty());
}

TEST(Figury, PoliczSrodek) {
    pixelSize = 0.5;
    auto one = figure({{1.2f, 3.4f, 5.6f}});
    one->PoliczSrodek();
    EXPECT_EQ(one->Pmin.x, 1.2f);
    EXPECT_EQ(one->Pmax.y, 3.4f);
    EXPECT_EQ(one->Pmin.z, one->Pmax.z);
    EXPECT_EQ(one->przekatna, 0.0f);
    EXPECT_EQ(one->minYindex, 0);

    // Of equal extremes the first counts; the centre is snapped to the grid.
    auto f = figure({{0, 1, 0}, {4, 0, 1}, {4, 3, 2}, {1, 0, 0}});
    f->PoliczSrodek();
    EXPECT_EQ(f->minYindex, 1);
    EXPECT_EQ(f->prawy.y, 0.0f);
    EXPECT_EQ(f->dolny.x, 4.0f);
    EXPECT_EQ(f->gorny.x, 4.0f);
    EXPECT_EQ(f->lewy.y, 1.0f);
    EXPECT_FLOAT_EQ(f->srodek.x, 2.0f);
    EXPECT_FLOAT_EQ(f->srodek.y, 1.5f);
    EXPECT_FLOAT_EQ(f->srodek.z, 1.0f);
    EXPECT_FLOAT_EQ(f->przekatna, std::sqrt(16.0f + 9.0f + 4.0f));
}

TEST(Figury, UsunDuplikacjePunktow) {
    auto square = figure({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}});
    square->UsunDuplikacjePunktow();
    EXPECT_EQ(square->count(), 5);

    auto three = figure({{1, 1, 1}, {1.00005f, 1, 1}, {1, 1.00009f, 1}});
    three->UsunDuplikacjePunktow();
    ASSERT_EQ(three->count(), 1);
    EXPECT_EQ(three->poz[0].y, 1.00009f); // the last of a run survives
}

TEST(Figury, NearestToModelCentreAndLength) {
    modelSize = {10, 10, 5};
    auto f = figure({{4, 5, 0}, {6, 5, 0}, {5, 9, 0}});
    EXPECT_EQ(f->najblizszySrodkaProjektu(), 0);
    EXPECT_EQ(tFigura().najblizszySrodkaProjektu(), -1);
    f->PoliczDlugosc();
    EXPECT_DOUBLE_EQ(f->dlugosc, 2 + std::sqrt(1.0 + 16.0));
}

TEST(Figury, ListOperationsAndOrders) {
    figureList.clear();
    figureCounter = 0;
    addFigure(figure({{1, 0, 5}}));
    addFigure(figure({{0, 2, 5}}));
    addFigure(figure({{0, 1, 5}}));
    addFigure(figure({{9, 9, 7}}));
    EXPECT_EQ(figureCounter, 4);
    sortFigures(figureList, FigureOrder::byStartHeight);
    EXPECT_EQ(figureList[0]->poz[0].z, 7.0f);
    EXPECT_EQ(figureList[1]->poz[0].y, 1.0f);
    EXPECT_EQ(figureList[2]->poz[0].y, 2.0f);
    EXPECT_EQ(figureList[3]->poz[0].x, 1.0f);

    figureList[1]->przekatna = 3;
    figureList[2]->przekatna = 1;
    figureList[3]->przekatna = 2;
    sortFigures(figureList, FigureOrder::byStartHeightThenSize);
    EXPECT_EQ(figureList[1]->przekatna, 1.0f);
    EXPECT_EQ(figureList[3]->przekatna, 3.0f);

    for (int i = 0; i < 4; ++i) figureList[size_t(i)]->grupa = 1 - i / 2;
    figureList[0]->iloscWewnatrz = 2;
    figureList[2]->iloscWewnatrz = 5;
    sortFigures(figureList, FigureOrder::byGroup);
    EXPECT_EQ(figureList[0]->grupa, 0);
    EXPECT_EQ(figureList[1]->grupa, 0);
    EXPECT_EQ(figureList[2]->iloscWewnatrz, 0);
    EXPECT_EQ(figureList[3]->iloscWewnatrz, 2);

    deleteFigure(0);
    EXPECT_EQ(figureList.size(), 3u);
    EXPECT_EQ(figureCounter, 4);
    figureList.clear();
}
