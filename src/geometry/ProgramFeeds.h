#pragma once

#include <vector>

// The feeds and the spindle speed of a program read from another CAM system,
// figure by figure beside the figures of its output path file: the job runs
// each cutting move at the program's own feed.
namespace korvane {

struct FigureFeeds {
    // The height the tool comes down to at rapid over the first point, and the
    // feed of the plunge from there to the first point (0: no plunge, the
    // figure starts where the rapid ended), mm and mm/min.
    double approachZ = 0;
    double plungeFeed = 0;
    // The feed of the move into each point, mm/min; the first is not used.
    std::vector<float> feeds;
    double spindle = 0; // the S in force, rpm
};

struct ProgramFeeds {
    std::vector<FigureFeeds> figures; // one per figure of the output file
};

} // namespace korvane
