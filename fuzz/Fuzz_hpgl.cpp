// Fuzzes the HPGL plot file reader: every figure it hands out, to the end.
#include "import/HPGL.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::Thpgl reader;
    reader.openText(std::string(reinterpret_cast<const char*>(data), size));
    for (std::size_t figures = 0;; ++figures) {
        korvane::tFigura figure;
        if (!reader.get_figura(figure)) break;
        // Each figure takes at least one command of the text.
        if (figures >= size) std::abort();
        for (const auto& p : figure.poz)
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || p.z != 0) std::abort();
    }
    reader.close();
    return 0;
}
