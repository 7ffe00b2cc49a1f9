#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"

#include <functional>
#include <unordered_map>
#include <vector>

// Travel links of a print: where the straight move from one path's end to the
// next path's start would cross an outline of their layers, a detour figure
// (Przestawcza 1) takes its place: an arc round the obstacle within the model's
// rectangle, or, when no arc passes, a hop 3 mm up and over.
namespace korvane {

// The outline segments of every layer, bucketed in a plan grid so that a
// crossing test reads only the segments near the moving segment.
class OutlineSegments {
  public:
    // The outlines (glowna) of `figures`, by their NrWarstwy.
    explicit OutlineSegments(const FigureList& figures);
    // The segment a-b crosses an outline segment of layer `layer` in the plane.
    bool crosses(int layer, const TrPkt3D& a, const TrPkt3D& b) const;

  private:
    struct Layer {
        std::vector<std::pair<TrPkt3D, TrPkt3D>> segments;
        std::unordered_map<std::int64_t, std::vector<int>> cells;
    };
    std::unordered_map<int, Layer> layers_;
    mutable std::vector<unsigned> seen_;
    mutable unsigned stamp_ = 0;
};

// The detour from p to q in layer `layer`: the first arc of the four runs of
// offsets that stays in the model's rectangle and crosses no outline, else the
// hop. Its points only; the caller gives it its attributes.
std::vector<TrPkt3D> detour(const OutlineSegments& outlines, int layer, const TrPkt3D& p,
                            const TrPkt3D& q);

// Inserts a travel link after every path (not an outline, not a link) whose
// straight move to the next path crosses an outline of either path's layer.
// `progress` hears the share of the list done, 0..1.
void dodajPrzejazdy(FigureList& figures, const std::function<void(double)>& progress = {});

} // namespace korvane
