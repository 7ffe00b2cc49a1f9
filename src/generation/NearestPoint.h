#pragma once

#include "foundation/Records.h"

#include <cstddef>
#include <vector>

// The points of one polyline by plan squares, for the point nearest to another
// in space: the squares are searched ring by ring outwards from the one the
// query falls in, and a ring no nearer in plan than the best found so far ends
// the search. It finds what the plain scan of every point finds, the lowest
// index among equal distances, at the cost of the few squares around the query.
namespace korvane {

class NearestPoint {
  public:
    // `points` must outlive the index; `square` is the side of a square (mm),
    // made larger where the points would leave most squares empty.
    NearestPoint(const std::vector<TrPkt3D>& points, double square);

    struct Found {
        std::size_t index = 0;
        double distance = 0; // distance3, +infinity when no point was looked at
    };
    // The point nearest p among the first `count` points.
    Found nearest(const TrPkt3D& p, std::size_t count) const;

  private:
    const std::vector<TrPkt3D>& points_;
    double x0_ = 0, y0_ = 0, square_ = 1;
    long columns_ = 1, rows_ = 1;
    std::vector<std::size_t> first_; // per square, its first entry in order_
    std::vector<std::size_t> order_; // point indices square by square, ascending in each
};

} // namespace korvane
