#include "output/MaterialSimulation.h"

#include <algorithm>
#include <thread>

namespace korvane {

namespace {

Point3 point(const TrPkt3D& p) {
    return {p.x, p.y, p.z};
}

// Rows per band handed to a thread at a time.
constexpr int bandRows = 16;

} // namespace

std::vector<ToolMove> toolMoves(const std::vector<SimulatedPass>& passes) {
    std::vector<ToolMove> moves;
    for (int k = 0; k < static_cast<int>(passes.size()); ++k) {
        const tFigura* previous = nullptr;
        for (const auto& f : *passes[static_cast<std::size_t>(k)].figures) {
            if (f->poz.empty()) continue;
            if (previous) {
                const TrPkt3D& last = previous->poz.back();
                const TrPkt3D& next = f->poz.front();
                moves.push_back({{last.x, last.y, previous->przestawczyZ},
                                 {next.x, next.y, previous->przestawczyZ},
                                 k});
            }
            if (f->poz.size() == 1) moves.push_back({point(f->poz[0]), point(f->poz[0]), k});
            for (std::size_t i = 1; i < f->poz.size(); ++i)
                moves.push_back({point(f->poz[i - 1]), point(f->poz[i]), k});
            previous = f.get();
        }
    }
    return moves;
}

bool simulateMaterial(tpix2d& heights, double cell, const std::vector<SimulatedPass>& passes,
                      int threads, SimulationControl* control) {
    const std::vector<ToolMove> moves = toolMoves(passes);
    if (control) control->movesTotal = static_cast<long long>(moves.size());
    const int rows = heights.rows();
    const int bands = (rows + bandRows - 1) / bandRows;
    std::atomic<int> nextBand{0};
    std::atomic<bool> aborted{false};
    // Each band takes every move whose reach meets its rows; the bands are
    // disjoint, so the threads never write the same cell.
    auto work = [&](bool reporter) {
        for (int band = nextBand++; band < bands; band = nextBand++) {
            const RowBand r{band * bandRows, std::min(rows, (band + 1) * bandRows)};
            const double lo = r.firstRow * cell, hi = (r.endRow - 1) * cell;
            for (std::size_t i = 0; i < moves.size(); ++i) {
                if (control && (i & 1023) == 0 && control->abort) {
                    aborted = true;
                    return;
                }
                const ToolMove& m = moves[i];
                const double reach = passes[static_cast<std::size_t>(m.pass)].tool.reach();
                if (std::min(m.a.y, m.b.y) - reach > hi || std::max(m.a.y, m.b.y) + reach < lo)
                    continue;
                sweepSegment(heights, cell, r, passes[static_cast<std::size_t>(m.pass)].tool, m.a,
                             m.b);
            }
            if (control && reporter)
                control->movesDone = static_cast<long long>(moves.size()) * nextBand / bands;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::max(threads, 1); ++t) pool.emplace_back(work, false);
    work(true);
    for (auto& t : pool) t.join();
    if (control && !aborted) control->movesDone = control->movesTotal;
    return !aborted;
}

} // namespace korvane
