// Fuzzes the STL converter (both forms) and the steps of the loading thread
// that follow it.
#include "import/RAWodczytWatek.h"
#include "import/Stl2RawConverter.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::TStl2RawConverter converter("fuzz.stl");
    converter.convertBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    // A binary file never yields more facets than it holds.
    if (converter.GetTriangleCount() > size / 50 + size) std::abort();
    korvane::TriangleList list;
    for (const auto& t : converter.triangles()) {
        korvane::TTrojkat k;
        k.a = {t.a.x, t.a.y, t.a.z};
        k.b = {t.b.x, t.b.y, t.b.z};
        k.c = {t.c.x, t.c.y, t.c.z};
        for (const auto& p : {k.a, k.b, k.c})
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) std::abort();
        list.push_back(k);
    }
    korvane::sortVertices(list);
    korvane::sortByLowestZ(list);
    korvane::computePlanes(list);
    for (std::size_t i = 1; i < list.size(); ++i)
        if (list[i - 1].a.z > list[i].a.z) std::abort();
    return 0;
}
