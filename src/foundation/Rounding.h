#pragma once

#include <cmath>
#include <cstdint>

namespace korvane {

// Rounds to the nearest integer, halves to the even neighbour. Every rounding
// of the program goes through here.
inline std::int64_t roundHalfEven(long double v) {
    return static_cast<std::int64_t>(std::nearbyintl(v));
}

} // namespace korvane
