// Fuzzes the G-code reader: a program is read whole or refused with its line,
// and every point it hands out lies within reach with a feed of its own.
#include "import/GCodeReader.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const korvane::GCodeProgram program = korvane::readGCode(text, 2'000'000);
        if (program.feeds.figures.size() != program.figures.size()) std::abort();
        for (std::size_t i = 0; i < program.figures.size(); ++i) {
            const auto& figure = *program.figures[i];
            if (figure.poz.empty() || program.feeds.figures[i].feeds.size() != figure.poz.size())
                std::abort();
            for (const auto& p : figure.poz)
                if (!(std::fabs(p.x) <= korvane::maxProgramCoordinate + 1 &&
                      std::fabs(p.y) <= korvane::maxProgramCoordinate + 1 &&
                      std::fabs(p.z) <= korvane::maxProgramCoordinate + 1))
                    std::abort();
            for (const float f : program.feeds.figures[i].feeds)
                if (!std::isfinite(f) || f < 0) std::abort();
        }
    } catch (const korvane::GCodeRefusal& r) {
        if (r.lineNumber < 1) std::abort();
    }
    return 0;
}
