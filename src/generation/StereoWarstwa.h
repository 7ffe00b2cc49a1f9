#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "geometry/Typy.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// One layer of a print: the cut of the model's triangles at a height into
// closed outlines, the hatching of the areas they bound, the chaining and
// joining of a layer's paths and the island groups that order the print. Every
// operation works on positions in figureList and appends its new figures at
// its end.
namespace korvane {

// The counters of one layer.
struct tWarstwa {
    int iloscOutline = 0;    // list position after the layer's contour passes
    int poczatekOutline = 0; // not used by the print
    int iloscOtwartych = 0;  // outlines found not closed, over all layers of a run
    int iloscGlownych = 0;   // outlines the cut produced, from Start on
    int iloscKresek = 0;     // hatch figures of the layer
    int PoczatekKresek = 0;  // position of the layer's first hatch figure
    int Start = 0;           // position of the layer's first figure
};

// One island group: the box of an outer outline, the height the print may rise
// above its bottom before the groups are formed anew, and the number its
// figures sort by.
struct TGrupaWyspy {
    float x0 = 0, y0 = 0, z0 = 0;
    float x1 = 0, y1 = 0, z1 = 0;
    std::int32_t numer = 0;
    double margines = 0;
    const tFigura* figura = nullptr; // the outer outline (owned by figureList)
    std::int32_t lezy_w = -1;        // the outline's container when the group was made
    TrPkt3D containerCentre;         // that container's centre
};

// One link of a layer join.
struct TPolaczenie {
    std::int32_t odFigury = -1;
    std::int32_t odPunktu = -1;
    std::int32_t doFigury = 0;
    std::int32_t doPunktu = 0;
    std::int32_t kolejnosc = 0;
};

class tStereoWarstwa {
  public:
    // The cut reads `triangles` (the model's list) for the object's whole life.
    explicit tStereoWarstwa(const TriangleList& triangles);
    // Stops the cutting thread.
    ~tStereoWarstwa();
    tStereoWarstwa(const tStereoWarstwa&) = delete;
    tStereoWarstwa& operator=(const tStereoWarstwa&) = delete;

    // The cutting thread: resume cuts one layer at ZWarstwy from ilosci.Start
    // on; waitSuspended returns once that cut is in the list. Between the two
    // the caller must not touch figureList.
    void resume();
    void waitSuspended();
    // Ends the thread's loop; zakonczona is true afterwards.
    void finish();

    // The cut itself, on the calling thread: appends the closed outlines of the
    // plane z = ZWarstwy from ilosci.Start on and sets the counters.
    void Execute();

    // Hatches the area bounded by the figures start..koniec with lines at angle
    // kat (radians) odstep mm apart over the model's extents; one figure per
    // stroke. Marks the outlines met first by a stroke outer, the others inner.
    void zakreskuj(int start, int koniec, double kat, double odstep);
    // Draws every segment of the figures start..koniec into `p2D`.
    void zakreskujBitmape(int start, int koniec, tpix2d& p2D) const;
    // Sets every point of the figures start..koniec to the height ZWarstwy.
    void UstawZ(int start, int koniec) const;

    // Chains the figures from `start` on by nearest ends into zig-zag paths; a
    // gap of maxDist or more starts a new path.
    void polaczKreski(int start, double maxDist);
    // Joins the figures start..koniec along a nearest-neighbour tree into new
    // paths at the end of the list and deletes them.
    void polaczWarstwe(int start, int koniec);

    void GrupujStart();
    // Forms the island groups from the outlines startGlownych..koniecGlownych
    // when they no longer hold, and gives the figures start..koniec a group.
    void Grupuj(int startGlownych, int koniecGlownych, int start, int koniec);
    void GrupujFinish();

    tWarstwa ilosci;
    double SzerokoscWarstwy = 0;
    double ZWarstwy = 0;
    bool zakonczona = false;
    TrPkt3D OstatniPunkt;
    std::vector<TGrupaWyspy> gl;
    int numerGrupy = 0;
    int aktualnyNrKreski = 0;
    int iloscDolaczonych = 0;
    // The number the next chained or joined path takes; grows over a run.
    int kolejnyNumerFigury = 0;

  private:
    void loop();
    // The triangles that cross the plane z (lowest vertex below, highest at or
    // above), in list order; the set is swept upwards from the last call.
    const std::vector<int>& crossingTriangles(double z);
    int takeNumber() { return kolejnyNumerFigury++; }

    const TriangleList& triangles_;
    std::vector<int> byLowest_; // triangle indices, lowest vertex ascending
    std::size_t nextLowest_ = 0;
    std::vector<int> active_; // ascending indices
    double sweptTo_ = 0;
    bool swept_ = false;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool cutRequested_ = false;
    bool endRequested_ = false;
    std::thread thread_;
};

// The segment a triangle gives in the plane z: its vertices at or above z are
// high, the others low; the vertex alone on its side (L, the other two M and N
// in the order a, b, c) gives the segment from the cut of L-M to the cut of
// L-N. None when all three lie on one side.
std::optional<std::pair<TrPkt3D, TrPkt3D>> przekrojTrojkata(const TTrojkat& t, double z);

// The polar angle of p around c in [0, 2 pi).
double katBiegunowy(double px, double py, double cx, double cy);

} // namespace korvane
