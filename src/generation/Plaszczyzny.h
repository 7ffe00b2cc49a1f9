#pragma once

#include "libraries/Operacje.h"

#include <vector>

// Flat regions: planes (operation type 2) faces the levels of the model that
// carry a large flat area with a zigzag over a coarse node grid and a contour
// pass around each; flat-area filling clears the inside of given outlines with
// inward rings, using flatMask as the bitmap of what is still to clear.
namespace korvane {

class TFrez;

// Flag bits of a facing node.
enum : unsigned char {
    nodeOnPlane = 1, // lies on the plane being faced and is not visited yet
    nodeBlocked = 2, // the facing tool standing there would cut the part
};

// The nodes of one plane, one every gridStep mm from the origin.
struct NodeGrid {
    int columns = 0, rows = 0;
    double gridStep = 0;
    std::vector<unsigned char> flags; // column after column
    unsigned char& at(int i, int j) { return flags[size_t(i) * size_t(rows) + size_t(j)]; }
};

// The nodes of the plane at height z (cells of offsetHeights within a cell
// below z up to z) with the nodes where `facingTool` at z would cut blocked.
NodeGrid planeNodes(const TFrez& facingTool, double gridStep, double z);

// The zigzag walks over the free plane nodes, each a figure at height z with a
// point where its direction changes; appended to figureList.
void facePlane(NodeGrid& grid, const TFrez& facingTool, double z);

void generujPlaszczyzny(const TOperacjaDane& oper, const TFrez& frez);

// Positions in figureList of the first and of the last ring a fill made.
struct RingStarts {
    int firstRingStart = 0;
    int lastRingStart = 0;
};

// Clears the areas bounded by the figures of figureList from `figStart` on with
// at most `iloscWarstw` inward rings `warstwaSzer` apart; the ring outlines are
// traced on flatMask at `zWarstwy`. The rings ride on the motion map.
RingStarts wypelnijObszaryPlaskie(int figStart, double zWarstwy, int iloscWarstw,
                                  double warstwaSzer);

} // namespace korvane
