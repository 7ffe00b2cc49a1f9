#pragma once

#include "geometry/Figury.h"

#include <cstddef>
#include <optional>
#include <vector>

// The two ends of a layer's strokes bucketed by plan square, for chaining the
// strokes into zigzags: the end nearest a point is looked up ring by ring of
// squares around it instead of over every stroke.
namespace korvane {

class StrokeEnds {
  public:
    // The ends of figures[first..]; a stroke's rank is its place less `first`,
    // which erasing other strokes from the list leaves in the same order.
    StrokeEnds(const FigureList& figures, std::size_t first, double square);

    struct End {
        std::size_t rank = 0;
        bool last = false; // the stroke's last point, not its first
    };

    // Of the strokes still held at fig_ppz `level`, the end nearest p in space
    // and nearer than `limit`: of equal distances the stroke of lower rank, and
    // of one stroke its first point.
    std::optional<End> nearest(const TrPkt3D& p, double level, double limit) const;

    // The stroke of `rank` is no longer looked up.
    void remove(std::size_t rank);
    // The stroke of `rank` was turned round: its first point is its last.
    void turn(std::size_t rank);

  private:
    struct Entry {
        TrPkt3D point;
        const tFigura* figure;
        std::size_t rank;
        bool last;
    };

    std::size_t squareOf(const TrPkt3D& p) const;
    // The entry of an end (2 * rank + last) while it is held; null once removed.
    Entry* entryOf(std::size_t end);

    double x0_ = 0, y0_ = 0, square_ = 1;
    int columns_ = 1, rows_ = 1;
    std::vector<std::vector<Entry>> squares_;
    // Per rank and end (2 * rank + last): its square and its index there.
    std::vector<std::size_t> squareOfEnd_, where_;
};

} // namespace korvane
