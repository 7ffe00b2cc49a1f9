#pragma once

#include "geometry/Figury.h"
#include "geometry/ProgramFeeds.h"
#include "import/GCodeArcs.h"

#include <limits>
#include <optional>
#include <set>

// The moves of a G-code program turned into figures: a figure ends where the
// tool travels at rapid or lifts above the material, that is to the program's
// transfer height (the highest its rapids have reached) when that lies above
// every sideways cut so far; feed moves that stay that high after such a lift
// are travel too. A figure's first move, when it plunges straight
// down from where the travel ended, is its approach: the job rapids to that
// height and plunges at the program's feed.
namespace korvane {

// Counts and measures of the program read.
struct GCodeStats {
    long long lines = 0;
    long long rapids = 0;      // rapid moves, G28 and G30 included
    long long feedMoves = 0;   // straight feed moves, cycles' included
    long long arcs = 0;        // G2 and G3 moves
    long long arcChords = 0;   // the straight moves the arcs were cut into
    long long holes = 0;       // holes of drilling cycles
    long long toolChanges = 0; // M6
    long long stops = 0;       // M0 and M1
    double pathLength = 0;     // of every feed move, mm
    double rapidLength = 0;    // of every rapid move, mm
    std::set<double> feeds;    // the feeds cut at, mm/min
    std::set<double> spindleSpeeds;
    bool inches = false;            // G20 was used
    std::optional<double> transfer; // the highest rapid, mm
};

class GCodePath {
  public:
    // The tool stands at `start` before the program's first move.
    explicit GCodePath(const GPoint& start) : position_(start) {}

    void rapid(const GPoint& to);
    // A feed move at `feed` mm/min: a straight move of the program, or a
    // chord of an arc, which never lifts out of the material.
    void cut(const GPoint& to, double feed, bool straight = true);
    // G28 and G30: a rapid up to the transfer height, where the machine's
    // reference is the machine's business.
    void lift();
    void setSpindle(double rpm) { spindle_ = rpm; }

    const GPoint& position() const { return position_; }
    // The points of the figures so far.
    long long points() const { return points_; }
    GCodeStats& stats() { return stats_; }

    // Ends the last figure; the figures and their feeds.
    void finish(FigureList& figures, ProgramFeeds& feeds);

  private:
    void travel(const GPoint& to);
    void endFigure();
    // At the transfer height, which lies above every sideways cut so far.
    bool aboveTheCuts(double z) const;

    GPoint position_;
    double spindle_ = 0;
    GCodeStats stats_;
    FigureList figures_;
    ProgramFeeds feeds_;
    std::unique_ptr<tFigura> figure_;
    FigureFeeds figureFeeds_;
    // The figure holds only the end of its plunge, from plungeTop_.
    bool plungeOnly_ = false;
    GPoint plungeTop_{};
    double travelTop_ = 0; // the highest point of the travel since the last figure
    // The highest point a sideways cut reached: the material lies below it.
    double cutTop_ = -std::numeric_limits<double>::infinity();
    bool lifted_ = false; // the last figure ended lifting out of the material
    long long points_ = 0;
    double lastFeed_ = -1; // the feed last counted in stats_.feeds
};

} // namespace korvane
