// Chaining of hatch strokes and joining of a layer's paths (tStereoWarstwa).
#include "generation/StereoWarstwa.h"

#include "generation/PointIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>

namespace korvane {

namespace {

double distance2(const TrPkt3D& a, const TrPkt3D& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return dx * dx + dy * dy + dz * dz;
}

using Hit = PointHit;

// Candidate points a figure offers: every point of a closed one, the two ends
// of an open one.
template <class Visit> void offeredPoints(const tFigura& f, Visit visit) {
    if (f.poz.empty()) return;
    if (f.zamknieta) {
        for (int i = 0; i < f.count(); ++i) visit(i);
    } else {
        visit(0);
        if (f.count() > 1) visit(f.count() - 1);
    }
}

// The nearest offered point of the figures of `figures` (positions in
// figureList) that `take` accepts; strictly nearer replaces, so the first
// found wins ties.
template <class Take>
Hit nearestOffered(const TrPkt3D& p, const std::vector<int>& figures, Take take) {
    Hit best;
    for (int fi : figures) {
        if (!take(fi)) continue;
        const tFigura& f = *figureList[size_t(fi)];
        offeredPoints(f, [&](int i) {
            const double d = distance2(p, f.poz[size_t(i)]);
            if (d < best.d2) best = {d, fi, i};
        });
    }
    return best;
}

bool earlier(const Hit& a, const Hit& b) {
    return a.d2 < b.d2 ||
           (a.d2 == b.d2 && (a.figure < b.figure || (a.figure == b.figure && a.point < b.point)));
}

// Makes closed figure f start at its point i, closed again by a copy of it.
void rotateClosed(tFigura& f, int i) {
    if (i <= 0 || f.count() < 2) return;
    f.poz.pop_back();
    std::rotate(f.poz.begin(), f.poz.begin() + i, f.poz.end());
    f.poz.push_back(f.poz.front());
}

} // namespace

void tStereoWarstwa::polaczKreski(int start, double maxDist) {
    const int count = static_cast<int>(figureList.size());
    std::vector<int> figures;
    for (int i = start; i < count; ++i) {
        figureList[size_t(i)]->policzona = false;
        figures.push_back(i);
    }
    std::vector<bool> absorbed(size_t(count), false);
    PointIndex candidates;
    for (int i : figures)
        offeredPoints(*figureList[size_t(i)],
                      [&](int p) { candidates.add(i, p, figureList[size_t(i)]->poz[size_t(p)]); });
    tFigura* chain = nullptr;
    for (;;) {
        const Hit hit = candidates.nearest(OstatniPunkt);
        if (!hit) break;
        candidates.remove(hit.figure);
        tFigura& f = *figureList[size_t(hit.figure)];
        if (hit.point > 0) std::reverse(f.poz.begin(), f.poz.end());
        if (!chain || std::sqrt(hit.d2) >= maxDist) {
            // A new chain; the first one is numbered too, or it would sort
            // before the paths of every earlier layer of its group.
            f.policzona = true;
            OstatniPunkt = f.poz.back();
            f.nowyNumer = takeNumber();
            chain = &f;
            continue;
        }
        chain->poz.insert(chain->poz.end(), f.poz.begin(), f.poz.end());
        f.policzona = true;
        absorbed[size_t(hit.figure)] = true;
        --ilosci.iloscKresek;
        chain->PoliczSrodek();
        chain->PoliczDlugosc();
        chain->policzona = true;
        chain->nowyNumer = takeNumber();
        OstatniPunkt = chain->poz.back();
    }
    for (int i = count - 1; i >= start; --i)
        if (absorbed[size_t(i)]) figureList.erase(figureList.begin() + i);
}

void tStereoWarstwa::polaczWarstwe(int start, int koniec) {
    std::vector<int> range;
    for (int i = start; i <= koniec; ++i) {
        tFigura& f = *figureList[size_t(i)];
        f.dolaczona = f.utworzona = false;
        range.push_back(i);
    }
    auto fig = [](int i) -> tFigura& { return *figureList[size_t(i)]; };
    const Hit root = nearestOffered(OstatniPunkt, range, [&](int i) { return !fig(i).dolaczona; });
    if (!root) return;

    // Targets not joined yet, closed and open apart; filled as the figures
    // stand now: a closed one is rotated only when it is joined, which takes
    // it out of the index.
    PointIndex closedTargets, openTargets;
    for (int i : range)
        offeredPoints(fig(i), [&](int p) {
            (fig(i).zamknieta ? closedTargets : openTargets).add(i, p, fig(i).poz[size_t(p)]);
        });

    std::vector<TPolaczenie> links{{-1, -1, root.figure, 0, 0}};
    // The sources of the joined figures: a closed one with all its points, an
    // open one with its first and its last point apart. Each keeps the pair its
    // points make with the nearest target until that target is joined; taking
    // any target away never brings the nearest one closer, so a source whose
    // nearest target lies beyond a radius stays beyond it and is not searched
    // again until the radius grows past it.
    struct Source {
        int figure = 0;
        int point = -1; // -1: every point of a closed figure
        bool closedKind = true;
        bool exact = false; // `hit` is the nearest target
        Hit hit;
        int sourcePoint = -1;
        double beyond = 0; // not exact: the nearest target lies further than this
    };
    std::vector<Source> sources; // in list order, first before last point
    auto makeSource = [](int figure, int point, bool closedKind) {
        Source s;
        s.figure = figure;
        s.point = point;
        s.closedKind = closedKind;
        return s;
    };
    auto evaluate = [&](Source& s, const PointIndex& index, double radius) {
        const tFigura& J = fig(s.figure);
        s.hit = {};
        auto from = [&](int p) {
            const Hit h = index.nearest(J.poz[size_t(p)], radius);
            if (h && h.d2 < s.hit.d2) s.hit = h, s.sourcePoint = p;
        };
        if (s.point >= 0)
            from(s.point);
        else
            for (int p = 0; p < J.count(); ++p) from(p);
        s.exact = bool(s.hit);
        if (!s.exact) s.beyond = radius;
    };
    auto addSources = [&](int f) {
        const tFigura& F = fig(f);
        std::vector<Source> added;
        if (F.zamknieta)
            added.push_back(makeSource(f, -1, true));
        else if (!F.poz.empty()) {
            added.push_back(makeSource(f, 0, true));
            added.push_back(makeSource(f, F.count() - 1, true));
        }
        auto at = std::upper_bound(sources.begin(), sources.end(), f,
                                   [](int v, const Source& s) { return v < s.figure; });
        sources.insert(at, added.begin(), added.end());
    };

    int current = root.figure, entry = root.point;
    for (;;) {
        tFigura& f = fig(current);
        if (!f.dolaczona) {
            f.nowyNumer = takeNumber();
            if (f.zamknieta)
                rotateClosed(f, entry);
            else if (entry > 0)
                std::reverse(f.poz.begin(), f.poz.end());
        }
        f.dolaczona = true;
        closedTargets.remove(current);
        openTargets.remove(current);
        addSources(current);

        Hit target;
        int source = current, sourcePoint = f.count() - 1;
        if (f.zamknieta) {
            const bool closedKind = !closedTargets.empty();
            const PointIndex& index = closedKind ? closedTargets : openTargets;
            auto refresh = [&](Source& s) {
                if (s.closedKind != closedKind) s = makeSource(s.figure, s.point, closedKind);
                if (s.exact && fig(s.hit.figure).dolaczona) {
                    s.exact = false;
                    s.beyond = std::sqrt(s.hit.d2) * (1 - 1e-12);
                }
            };
            // The current figure's own nearest target bounds the answer; sources
            // nearer than 0.3 mm end the search early, so they count whatever it is.
            double bound = std::numeric_limits<double>::infinity();
            for (Source& s : sources)
                if (s.figure == current) {
                    refresh(s);
                    if (!s.exact) evaluate(s, index, bound);
                    if (s.exact) bound = std::min(bound, std::sqrt(s.hit.d2));
                }
            const double radius = std::max(bound, 0.3);
            double best = std::numeric_limits<double>::infinity();
            for (Source& s : sources) {
                refresh(s);
                if (!s.exact && s.beyond < radius) evaluate(s, index, radius);
                if (!s.exact) continue;
                const tFigura& J = fig(s.figure);
                if (!J.zamknieta && s.point == J.count() - 1 && std::sqrt(best) < 0.3) break;
                if (s.hit.d2 < best) {
                    best = s.hit.d2;
                    target = s.hit;
                    source = s.figure;
                    sourcePoint = s.sourcePoint;
                }
            }
        } else if (!f.poz.empty()) {
            const Hit c = closedTargets.nearest(f.poz.back());
            const Hit o = openTargets.nearest(f.poz.back());
            target = !o || (c && earlier(c, o)) ? c : o;
        }
        if (!target) break;
        if (fig(target.figure).grupa == fig(source).grupa)
            links.push_back({source, sourcePoint, target.figure, 0, int(links.size())});
        current = target.figure;
        entry = target.point;
    }

    // The links leaving each figure, point by point, in link order.
    std::unordered_map<int, std::vector<std::pair<int, int>>> leaving;
    for (const TPolaczenie& l : links)
        if (l.odFigury >= 0) leaving[l.odFigury].push_back({l.odPunktu, l.doFigury});
    auto targetsAt = [&](int f, int p) {
        std::vector<int> t;
        if (auto it = leaving.find(f); it != leaving.end())
            for (const auto& [point, to] : it->second)
                if (point == p) t.push_back(to);
        return t;
    };

    iloscDolaczonych = 0;
    std::vector<std::unique_ptr<tFigura>> paths;
    auto emit = [&](int from) {
        auto c = std::make_unique<tFigura>();
        // The walk down the link tree; a frame is a figure, the point it has
        // reached and the next link to follow there.
        struct Frame {
            int figure, point;
            size_t link;
        };
        std::vector<Frame> stack{{from, 0, 0}};
        auto walk = [&](int f) {
            fig(f).utworzona = true;
            ++iloscDolaczonych;
            stack.push_back({f, 0, 0});
        };
        fig(from).utworzona = true;
        ++iloscDolaczonych;
        while (!stack.empty()) {
            const Frame frame = stack.back();
            const tFigura& f = fig(frame.figure);
            if (f.zamknieta) {
                if (frame.point >= f.count()) {
                    stack.pop_back();
                    continue;
                }
                const auto t = targetsAt(frame.figure, frame.point);
                c->poz.push_back(f.poz[size_t(frame.point)]);
                if (frame.link < t.size()) {
                    ++stack.back().link;
                    walk(t[frame.link]);
                } else {
                    ++stack.back().point;
                    stack.back().link = 0;
                }
                continue;
            }
            if (frame.point == 0) {
                c->poz.insert(c->poz.end(), f.poz.begin(), f.poz.end());
                stack.back().point = 1;
            }
            const auto t = targetsAt(frame.figure, f.count() - 1);
            if (frame.link < t.size()) {
                ++stack.back().link;
                walk(t[frame.link]);
            } else {
                stack.pop_back();
            }
        }
        c->PoliczSrodek();
        c->PoliczDlugosc();
        c->nowyNumer = takeNumber();
        c->NrWarstwy = fig(start).NrWarstwy;
        c->przestawczyZ = fig(start).przestawczyZ;
        c->zamknieta = false;
        c->Przestawcza = 0;
        c->grupa = fig(from).grupa;
        paths.push_back(std::move(c));
    };
    emit(root.figure);
    for (int i : range)
        if (!fig(i).utworzona) emit(i);
    for (auto& c : paths) addFigure(std::move(c));
    figureList.erase(figureList.begin() + start, figureList.begin() + koniec + 1);
    ilosci.PoczatekKresek -= koniec - start + 1;
}

} // namespace korvane
