#pragma once

#include "geometry/Figury.h"

#include <array>
#include <string>
#include <vector>

// What the output preview hands to the graphics card, built once per shown
// output: the paths' points coloured by kind and height, the rapid moves and
// the plunges the job makes between figures, and the height scale of the
// colours.
namespace korvane {

using Rgb = std::array<float, 3>;

// Rapids, transfers and travel links: light grey, read on the dark preview.
inline constexpr Rgb rapidColour = {0.78f, 0.78f, 0.78f};
// Plunges at the plunge feed: magenta, outside the height scale's hues.
inline constexpr Rgb plungeColour = {1.0f, 0.25f, 1.0f};

// The colour of a cut at `fraction` of the height scale (0 the lowest, 1 the
// highest): blue, cyan, green, yellow, red; held to the ends outside 0..1.
Rgb heightColour(double fraction);

// Per vertex x, y, z and r, g, b.
inline constexpr int floatsPerPathVertex = 6;

struct PathPreview {
    // Every point of every figure in file order, one line strip a figure:
    // cutting figures coloured by height, transfer figures grey.
    std::vector<float> points;
    std::vector<int> first, count;
    // Line segments, two vertices each: the rapid moves (grey) and the
    // plunges (magenta) between figures.
    std::vector<float> travel;
    double lowZ = 0, highZ = 0; // the heights of the cutting points
};

// The job's moves around each figure: from the work origin at the highest
// transfer height, a rapid across at the current height to over the figure's
// first point, a rapid down to `approach` mm above it, the plunge to it, the
// figure, and the lift to its transfer height; at the end back to the origin.
PathPreview pathPreview(const FigureList& figures, double approach);

// Round steps for a scale over `span`: 1, 2 or 5 times a power of ten, the
// smallest that gives at most `count` steps; 1 for an empty span.
double scaleStep(double span, int count);

// The marks of a scale from `low` to `high`: the multiples of its step
// within, at least the two ends when nothing lies between.
std::vector<double> scaleMarks(double low, double high, int count);

// A number of a scale with no more decimals than its step needs.
std::string scaleText(double value, double step);

} // namespace korvane
