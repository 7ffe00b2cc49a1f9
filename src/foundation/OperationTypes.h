#pragma once

#include <string>

namespace korvane {

// The operation type codes (TOperacjaDane::idTyp), fixed by the program and
// stored in operation and output files.
enum : int {
    opUnknown = -1,         // a file without a valid type
    opRoughing = 0,         // layers from the top down
    opLayeredFinishing = 1, // contours layer by layer
    opPlanes = 2,           // surfacing of flat areas
    opHatching = 3,         // parallel lines at an angle
    opPlotHatching = 4,     // along the lines of a plot file
    opMixed = 5,            // mixed strategy
    opPrinting = 6,         // 3D-printer layers
    opOutline = 7,          // outline at one level; no strategy builds it
};

// Hatching types ignore heights where other types follow the surface.
inline bool isHatching(int type) {
    return type == opHatching || type == opPlotHatching;
}

// Printing and outline operations run without a cutter from the tool library.
inline bool needsTool(int type) {
    return type != opPrinting && type != opOutline;
}

// One row of the operation type table, read from the language file.
struct rTypOperacji {
    int id = 0;           // type code
    std::string str;      // display name
    std::string parametr; // command-line switch that unlocks the type, or empty
};

} // namespace korvane
