#pragma once

#include "geometry/Figury.h"

#include <cstddef>

// Ordering figures into a chain of short rapid moves.
namespace korvane {

// From place `from` on (at least 1), each place takes the figure, among those
// not placed yet, whose first point lies nearest (in space) to the last point
// of the figure before it; of equal distances the one standing first in the
// list at that moment wins, and it swaps places with the figure there. The
// starts are looked up in plan squares, ring by ring around the end, so the
// chain costs about n log n instead of n squared, with the same order.
void chainByNearestStart(FigureList& figures, std::size_t from);

} // namespace korvane
