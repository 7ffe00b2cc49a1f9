#pragma once

#include "import/GCodeBlock.h"
#include "import/GCodePath.h"

// The modal state of a G-code program and the blocks run in the order of
// RS274/NGC: feed, spindle and tool first, then plane, units and modes, then
// the move, then the stops.
namespace korvane {

class GCodeInterpreter {
  public:
    // A program may hold at most `maxPoints` points in its figures.
    GCodeInterpreter(GCodePath& path, long long maxPoints) : path_(path), maxPoints_(maxPoints) {}

    // Runs one block. Throws GCodeRefusal for a block it cannot run as the
    // program means it.
    void run(const GCodeBlock& block);
    // M2 or M30 ended the program.
    bool ended() const { return ended_; }

  private:
    void check(const GCodeBlock& block) const;
    void move(const GCodeBlock& block, int motion);
    void arc(const GCodeBlock& block, const GPoint& target, bool clockwise);
    void cycle(const GCodeBlock& block, int motion);
    GPoint target(const GCodeBlock& block) const;
    double feed(const GCodeBlock& block, int motion) const;

    GCodePath& path_;
    long long maxPoints_;
    double scale_ = 1;            // mm per program unit: 25.4 in G20
    bool incremental_ = false;    // G91
    bool absoluteCentre_ = false; // G90.1
    int plane_ = 17;
    int motion_ = 800;        // G codes times ten; none (G80) until a program sets one
    bool retractToR_ = false; // G99
    double feed_ = 0;         // F as written
    // The cycle words kept for the next blocks of the same cycle, as written.
    std::optional<double> cycleR_, cycleZ_, cycleQ_, cycleP_;
    std::vector<GPoint> chords_;
    bool ended_ = false;
};

} // namespace korvane
