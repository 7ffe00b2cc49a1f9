#include "ToolClearanceLookups.h"

#include "GenerationRuns.h"
#include "ToolClearanceReference.h"

#include "foundation/State.h"
#include "generation/ToolClearance.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <vector>

namespace korvane::bench {

LookupTimes timeLookups(const TFrez& tool, const FigureList& paths) {
    const ToolClearance fast(tool, offsetHeights, pixelSize);
    const ToolProfile profile(tool, ToolClearance::profileStep);
    const test::PlainToolClearance plain(profile, offsetHeights, pixelSize, rasterSizeX,
                                         rasterSizeY);
    auto lookups = [&](const auto& search, std::vector<double>& out) {
        for (const auto& f : paths)
            for (std::size_t k = 0; k < f->poz.size(); ++k) {
                out.push_back(search.tipHeight(f->poz[k].x, f->poz[k].y));
                if (k > 0) out.push_back(search.cut(f->poz[k - 1], f->poz[k]));
            }
    };
    std::vector<double> byChunks, byCells;
    LookupTimes t;
    t.chunks = seconds([&] { lookups(fast, byChunks); });
    t.plain = seconds([&] { lookups(plain, byCells); });
    t.same = byChunks == byCells;
    return t;
}

} // namespace korvane::bench
