#pragma once

// Walking a grid of plan squares ring by ring around a square, for the
// nearest-point lookups that stop once a ring lies farther than what they found.
namespace korvane {

// Calls visit(x, y) for every square of the columns x rows grid on ring r
// around (cx, cy): the squares r steps away in x or y, none twice.
template <typename Visit>
void forSquaresOnRing(int cx, int cy, int r, int columns, int rows, Visit&& visit) {
    for (int x = cx - r; x <= cx + r; ++x) {
        if (x < 0 || x >= columns) continue;
        const bool edge = x == cx - r || x == cx + r;
        for (int y = cy - r; y <= cy + r; y += edge || r == 0 ? 1 : 2 * r)
            if (y >= 0 && y < rows) visit(x, y);
    }
}

} // namespace korvane
