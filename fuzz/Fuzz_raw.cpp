// Fuzzes the RAW line reader with whole files: every line of the input.
#include "import/RawReader.h"
#include "import/TextLines.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    korvane::forEachLine(text, [](std::string_view line) {
        const korvane::RawLine r = korvane::readRawLine(line, 25.4);
        if (r.count < 0 || r.count > 2) std::abort();
        for (int i = 0; i < r.count; ++i) {
            const auto& t = r.triangles[static_cast<std::size_t>(i)];
            for (const auto& p : {t.a, t.b, t.c})
                if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) std::abort();
        }
    });
    return 0;
}
