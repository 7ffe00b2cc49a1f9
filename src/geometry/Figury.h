#pragma once

#include "foundation/Records.h"

#include <cstdint>
#include <memory>
#include <vector>

// Figures: one continuous tool path (a polyline of points in millimetres) with
// the attributes the strategies, the linking and the output file attach to it.
namespace korvane {

class tFigura {
  public:
    std::int32_t color = 0; // pen of a figure read from a plot file
    double width = 0;       // pen width of a figure read from a plot file
    std::vector<TrPkt3D> poz;
    double fig_ppz = 0; // z of the level the figure was generated at
    bool zamknieta = false;
    TrPkt3D lewy, prawy, gorny, dolny; // points of smallest x, largest x, largest y, smallest y
    TrPkt3D srodek;                    // bounding-box centre snapped to the grid
    bool zredukowana = false;
    bool usredniona = false;
    bool wybierajaca = true;
    double przestawczyZ = 0; // rapid-move height after this figure
    std::int32_t pochodzi = -1;
    bool wypukla = false;
    bool laczona = false, dzielona = false, doUsuniecia = false, dodatkowa = false,
         odwrotna = false;
    std::int32_t orgIndex = -1;
    TrPkt3D Pmin, Pmax;
    std::int32_t minYindex = 0;
    std::int32_t spirala = 0;
    float przekatna = 0; // bounding-box diagonal
    std::int32_t wklinowana = 0;
    bool plaszczyzna = false;
    bool warstwa = false;
    bool pomocnicza3D = false;
    bool wewnetrzna = false, zewnetrzna = false;
    double dlugosc = 0;
    std::int32_t lezy_w = -1;
    std::int32_t poziom = 0;
    bool policzona = false;
    std::int32_t iloscWewnatrz = 0;
    std::int32_t nowyNumer = -1;
    std::int32_t obrys = 0;
    std::int32_t NrWarstwy = -1;
    std::int32_t Przestawcza = 0;
    bool dolaczona = false;
    std::int32_t grupa = -1;
    bool glowna = false;
    bool utworzona = false;
    std::int32_t nrKreski = -1;

    void dodajPunktTrPkt3D(const TrPkt3D& p) { poz.push_back(p); }
    void insertPunktTrPkt3D(int wsk, const TrPkt3D& p) { poz.insert(poz.begin() + wsk, p); }
    void UsunPunktTrPkt3D(int wsk) { poz.erase(poz.begin() + wsk); }
    int count() const { return static_cast<int>(poz.size()); }

    // Bounding box, extreme points, grid-snapped centre and diagonal.
    void PoliczSrodek();
    // Removes consecutive points closer than 0.0001 mm in every coordinate; of a
    // run of equal points the last one stays.
    void UsunDuplikacjePunktow();
    // dlugosc := the 3D length of the polyline.
    void PoliczDlugosc();
    // Index of the point nearest (3D) to the model's plan centre at the height of
    // the first point; the first of equal distances; -1 when empty.
    int najblizszySrodkaProjektu() const;
};

using FigureList = std::vector<std::unique_ptr<tFigura>>;

// The figures of the running generation; figures added since it started.
extern FigureList figureList;
extern int figureCounter;

// Appends to figureList and counts it in figureCounter.
void addFigure(std::unique_ptr<tFigura> f);
void deleteFigure(int index);

// The orders the figure list is sorted in.
enum class FigureOrder {
    byStartHeight,         // first z descending, then first x, then first y ascending
    byStartHeightThenSize, // first z descending, then przekatna ascending
    byGroup,               // grupa ascending, then iloscWewnatrz ascending
};

void sortFigures(FigureList& list, FigureOrder order);

// Every coordinate of the two points differs by less than `tolerance`.
bool within(const TrPkt3D& a, const TrPkt3D& b, double tolerance);
// Two points closer than 0.001 mm in every coordinate: the same point.
bool samePoint(const TrPkt3D& a, const TrPkt3D& b);
// The distance of two points in space.
double distance3(const TrPkt3D& a, const TrPkt3D& b);
// The angle in degrees at `vertex` between the directions to `a` and to `b`
// (law of cosines): 180 for a straight run, 0 for a reversal, 90 when a
// neighbour coincides with the vertex.
double angleAt(const TrPkt3D& vertex, const TrPkt3D& a, const TrPkt3D& b);

} // namespace korvane
