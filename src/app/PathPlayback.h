#pragma once

#include "geometry/Figury.h"
#include "libraries/Operacje.h"

#include <optional>
#include <string>
#include <vector>

// The playback of an output along its points: every point of every figure
// numbered in file order, where a number lies, and how far and how long the
// job has run when the tool stands there.
namespace korvane {

class PathTimeline {
  public:
    // The path length at each point is summed as the output's own length is:
    // the segments of the figures that are not transfers, in single precision,
    // so that the last point carries the output's whole length.
    explicit PathTimeline(const FigureList& figures);

    int points() const { return static_cast<int>(length_.size()); }
    // The figure of point `index` (0 .. points() − 1) and the point's number in it.
    int figureOf(int index) const;
    int pointOf(int index) const {
        return index - first_[static_cast<std::size_t>(figureOf(index))];
    }
    // The number of the first point of `figure`.
    int firstOf(int figure) const { return first_[static_cast<std::size_t>(figure)]; }
    // The path length up to point `index`, mm.
    double lengthAt(int index) const { return length_[static_cast<std::size_t>(index)]; }
    double totalLength() const { return length_.empty() ? 0 : length_.back(); }

  private:
    std::vector<int> first_; // per figure, empty ones included
    std::vector<float> length_;
};

// The estimated time when the tool stands at point `index`, in minutes: the
// output's time estimate worked for the path up to there, the figures begun
// and the share of the sharp corners passed. At the last point it is the
// output's own estimate. None without an operation or speed.
std::optional<double> minutesAt(const PathTimeline& timeline, int index, int corners,
                                const TOperacjaDane* oper);

// Minutes as "H:MM:SS".
std::string clockText(double minutes);

} // namespace korvane
