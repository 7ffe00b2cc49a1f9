#pragma once

#include <string>

namespace korvane {

// One row of the operation type table, read from the language file.
struct rTypOperacji {
    int id = 0;           // type code
    std::string str;      // display name
    std::string parametr; // command-line switch that unlocks the type, or empty
};

} // namespace korvane
