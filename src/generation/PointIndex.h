#pragma once

// Nearest-point lookups among the offered points of a layer's figures, used
// when strokes are chained and paths joined.
#include "geometry/Figury.h"

#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

namespace korvane {

// A point of a candidate figure and its squared distance.
struct PointHit {
    double d2 = std::numeric_limits<double>::infinity();
    int figure = -1;
    int point = -1;
    explicit operator bool() const { return figure >= 0; }
};

// The offered points of the figures not joined yet, in a grid of 1 mm cells:
// the nearest one to a point is found among the cells around it, ring by ring
// outwards, reading only the cells of each ring that lie in the occupied box.
// Among equal distances the figure first in the list wins, and in it the first
// point, as a scan in list order finds.
class PointIndex {
  public:
    void add(int figure, int point, const TrPkt3D& p);
    // Takes every point of `figure` out of the answers.
    void remove(int figure);
    bool empty() const { return liveCount_ == 0; }

    // The nearest point no further than `radius`.
    PointHit nearest(const TrPkt3D& p,
                     double radius = std::numeric_limits<double>::infinity()) const;

  private:
    struct Entry {
        int figure, point;
        TrPkt3D p;
    };

    std::unordered_map<std::int64_t, std::vector<Entry>> cells_;
    // By figure, the cells holding its points; empty once it is removed.
    std::vector<std::vector<std::int64_t>> figureCells_;
    int liveCount_ = 0;
    long long minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    bool empty_ = true;
};

} // namespace korvane
