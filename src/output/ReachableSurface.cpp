#include "output/ReachableSurface.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace korvane {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// Cell offsets (dx, dy) with a weight each, grouped by dx.
struct StencilColumn {
    int dx = 0;
    std::vector<int> dy;
    std::vector<float> weight;
};
using Stencil = std::vector<StencilColumn>;

// The offsets within `reach` mm, each weighted by weight(its plan distance in
// mm); an offset of infinite weight is left out.
template <class Weight> Stencil stencil(double reach, double cell, Weight weight) {
    const int r = reach < 0 ? -1 : static_cast<int>(std::floor(reach / cell + 1e-9));
    Stencil s;
    for (int dx = -r; dx <= r; ++dx) {
        StencilColumn c{dx, {}, {}};
        for (int dy = -r; dy <= r; ++dy) {
            const double w = weight(std::hypot(dx * cell, dy * cell));
            if (std::isinf(w)) continue;
            c.dy.push_back(dy);
            c.weight.push_back(static_cast<float>(w));
        }
        if (!c.dy.empty()) s.push_back(std::move(c));
    }
    return s;
}

// target[t] becomes the lowest (or highest) of itself and source[t - d] + w
// over the stencil's offsets d whose source cell lies in the layer. Each
// thread takes a run of whole target columns and walks a column's rows in the
// innermost loop, which the compiler turns into vector instructions.
template <bool lowest>
void spread(const tpix2d& source, const Stencil& s, tpix2d& target, int threads) {
    const int columns = std::min(source.columns(), target.columns());
    const int rows = std::min(source.rows(), target.rows());
    auto work = [&](int first, int end) {
        for (int tx = first; tx < end; ++tx) {
            float* out = target[tx].data();
            for (const StencilColumn& c : s) {
                const int sx = tx - c.dx;
                if (sx < 0 || sx >= columns) continue;
                const float* in = source[sx].data();
                for (std::size_t k = 0; k < c.dy.size(); ++k) {
                    const int dy = c.dy[k];
                    const float w = c.weight[k];
                    const int hi = std::min(rows, rows + dy);
                    for (int ty = std::max(0, dy); ty < hi; ++ty) {
                        const float v = in[ty - dy] + w;
                        if constexpr (lowest)
                            out[ty] = v < out[ty] ? v : out[ty];
                        else
                            out[ty] = v > out[ty] ? v : out[ty];
                    }
                }
            }
        }
    };
    const int n = std::clamp(threads, 1, std::max(columns, 1));
    std::vector<std::jthread> pool;
    for (int t = 1; t < n; ++t) pool.emplace_back(work, columns * t / n, columns * (t + 1) / n);
    work(0, columns / n);
}

// The model raised by the allowance as the motion map sees it: each cell to
// the highest point of the spheres of that radius centred on the model's
// cells, never below 0.
tpix2d offsetModel(const tpix2d& model, double cell, double allowance, int threads) {
    if (allowance <= cell / 2) return model;
    tpix2d offset(model.columns(), model.rows());
    spread<false>(model,
                  stencil(allowance, cell,
                          [&](double d) {
                              return d <= allowance ? std::sqrt(allowance * allowance - d * d)
                                                    : infinity;
                          }),
                  offset, threads);
    return offset;
}

// Lowers `surface` to the reachable surface of one tool over the raised model.
void lowerToReach(tpix2d& surface, const tpix2d& offset, double cell, const ToolProfile& tool,
                  int threads) {
    // The motion map: the highest of 0 and offset(p) - h(|p - q|) over the
    // cells p within reach of q; then the lowest of motion(q) + h(|p - q|).
    tpix2d motion(offset.columns(), offset.rows());
    spread<false>(offset, stencil(tool.reach(), cell, [&](double d) { return -tool.heightAt(d); }),
                  motion, threads);
    spread<true>(motion, stencil(tool.reach(), cell, [&](double d) { return tool.heightAt(d); }),
                 surface, threads);
}

bool sameTool(const ReachingTool& a, const ReachingTool& b) {
    return a.allowance == b.allowance &&
           std::equal(a.tool.rings().begin(), a.tool.rings().end(), b.tool.rings().begin(),
                      b.tool.rings().end(), [](const ToolRing& r, const ToolRing& s) {
                          return r.radius == s.radius && r.height == s.height;
                      });
}

} // namespace

tpix2d reachableSurface(const tpix2d& model, double cell, const std::vector<ReachingTool>& tools,
                        int threads) {
    tpix2d surface(model.columns(), model.rows());
    surface.fill(std::numeric_limits<float>::infinity());
    for (std::size_t i = 0; i < tools.size(); ++i) {
        if (std::any_of(tools.begin(), tools.begin() + static_cast<std::ptrdiff_t>(i),
                        [&](const ReachingTool& t) { return sameTool(t, tools[i]); }))
            continue;
        lowerToReach(surface, offsetModel(model, cell, tools[i].allowance, threads), cell,
                     tools[i].tool, threads);
    }
    return surface;
}

} // namespace korvane
