// Island groups of a print (tStereoWarstwa): one group per outer outline, kept
// over the layers while the islands keep their number, their boxes and the
// print stays within their margin.
#include "generation/StereoWarstwa.h"

#include "foundation/State.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace korvane {

namespace {

constexpr double noNeighbour = 2147483647.0;

bool fits(const TGrupaWyspy& g, const tFigura& f) {
    return g.x0 - 1 <= f.lewy.x && g.x1 + 1 >= f.prawy.x && g.y0 - 1 <= f.dolny.y &&
           g.y1 + 1 >= f.gorny.y;
}

// The polar angle of the group's corner (x0, y0) around c, turned by half a turn.
double key(const TGrupaWyspy& g, double cx, double cy) {
    double k = katBiegunowy(g.x0, g.y0, cx, cy) - std::numbers::pi;
    if (k < 0) k += 2 * std::numbers::pi;
    return k;
}

// a < b in the order the groups are printed in reverse: groups inside an
// outline come before top-level ones, and within one container by the key.
bool less(const TGrupaWyspy& a, const TGrupaWyspy& b) {
    if (a.lezy_w == -1 && b.lezy_w == -1)
        return key(a, modelSize.x / 2.0, modelSize.y / 2.0) <
               key(b, modelSize.x / 2.0, modelSize.y / 2.0);
    if (a.lezy_w == b.lezy_w)
        return key(a, a.containerCentre.x, a.containerCentre.y) <
               key(b, b.containerCentre.x, b.containerCentre.y);
    return a.lezy_w < b.lezy_w;
}

// The smallest distance from the points of outline o to the points of another
// outline of the same layer among first..last.
double nearestOtherOutline(int o, int first, int last) {
    const tFigura& f = *figureList[size_t(o)];
    double best = noNeighbour;
    for (int k = first; k <= last; ++k) {
        const tFigura& g = *figureList[size_t(k)];
        if (k == o || g.NrWarstwy != f.NrWarstwy) continue;
        // Boxes further apart than the best so far hold no nearer pair.
        const double gapX =
            std::max({0.0, double(g.Pmin.x) - f.Pmax.x, double(f.Pmin.x) - g.Pmax.x});
        const double gapY =
            std::max({0.0, double(g.Pmin.y) - f.Pmax.y, double(f.Pmin.y) - g.Pmax.y});
        if (std::hypot(gapX, gapY) >= best) continue;
        for (const TrPkt3D& p : f.poz)
            for (const TrPkt3D& q : g.poz) best = std::min(best, distance3(p, q));
    }
    return best;
}

} // namespace

void tStereoWarstwa::GrupujStart() {
    gl.clear();
    numerGrupy = 0;
}

void tStereoWarstwa::GrupujFinish() {
    gl.clear();
}

void tStereoWarstwa::Grupuj(int startGlownych, int koniecGlownych, int start, int koniec) {
    auto fig = [](int i) -> tFigura& { return *figureList[size_t(i)]; };
    size_t outer = 0;
    for (int i = startGlownych; i <= koniecGlownych; ++i) outer += fig(i).zewnetrzna;
    bool anew = outer != gl.size();
    const tFigura& firstOutline = fig(startGlownych);
    const double z = firstOutline.poz.empty() ? 0.0 : double(firstOutline.poz.front().z);
    for (const TGrupaWyspy& g : gl) anew = anew || g.margines + g.z0 < z;
    if (!anew && !gl.empty()) {
        bool anyFits = false;
        for (int i = startGlownych; i <= koniecGlownych && !anyFits; ++i)
            for (const TGrupaWyspy& g : gl) anyFits = anyFits || fits(g, fig(i));
        anew = !anyFits;
    }
    if (anew) {
        gl.clear();
        for (int i = startGlownych; i <= koniecGlownych; ++i) {
            const tFigura& o = fig(i);
            if (!o.zewnetrzna) continue;
            TGrupaWyspy g;
            g.x0 = o.lewy.x;
            g.y0 = o.dolny.y;
            g.z0 = o.dolny.z;
            g.x1 = o.prawy.x;
            g.y1 = o.gorny.y;
            g.z1 = o.gorny.z;
            g.margines = startGlownych == koniecGlownych
                             ? noNeighbour
                             : 0.4 * nearestOtherOutline(i, startGlownych, koniecGlownych);
            g.figura = &o;
            g.lezy_w = o.lezy_w;
            if (o.lezy_w >= 0) g.containerCentre = fig(o.lezy_w).srodek;
            gl.push_back(g);
        }
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (size_t i = 0; i + 1 < gl.size(); ++i)
                if (less(gl[i], gl[i + 1])) {
                    std::swap(gl[i], gl[i + 1]);
                    swapped = true;
                }
        }
        for (TGrupaWyspy& g : gl) g.numer = numerGrupy++;
    }
    for (int i = start; i <= koniec; ++i)
        for (size_t k = gl.size(); k-- > 0;)
            if (fits(gl[k], fig(i))) fig(i).grupa = gl[k].numer;
    // Without any group (no outline marked outer yet) the layer's figures form
    // a group of their own, numbered after every group given out so far.
    int ownGroup = -1;
    for (int i = start; i <= koniec; ++i) {
        if (fig(i).grupa >= 0) continue;
        if (!gl.empty()) {
            fig(i).grupa = gl.front().numer;
            continue;
        }
        if (ownGroup < 0) ownGroup = numerGrupy++;
        fig(i).grupa = ownGroup;
    }
}

} // namespace korvane
