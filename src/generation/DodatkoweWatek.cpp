#include "generation/DodatkoweWatek.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/Kontury.h"
#include "generation/RegionMask.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>

namespace korvane {

namespace {

// The distance from p to the nearest point of f.
double nearestDistance(const TrPkt3D& p, const tFigura& f) {
    double best = std::numeric_limits<double>::infinity();
    for (const TrPkt3D& q : f.poz) best = std::min(best, distance3(p, q));
    return best;
}

} // namespace

tDodatkoweWatek::tDodatkoweWatek()
    : mask_(rasterSizeX + 1, rasterSizeY + 1), status_(rasterSizeX + 1, rasterSizeY + 1) {}

void tDodatkoweWatek::Execute(const GapJob& job, FigureList& out) {
    const tFigura& contour = *figureList[size_t(job.Locali)];
    const int parent = contour.pochodzi;
    const tFigura& outer = *figureList[size_t(parent)];
    const CellBox box = prepareRegion(outer, contour.wypukla ? 1 : -1, job.Localz, mask_, status_);
    if (box.empty()) return;
    auto trace = [&](float z) {
        const size_t first = out.size();
        traceContours(mask_, box.x0, box.y0, box.x1, box.y1, z, status_, out);
        keepOnSurface(out, first, z);
        for (size_t k = first; k < out.size(); ++k) {
            out[k]->pochodzi = parent;
            out[k]->dodatkowa = true;
        }
    };
    float z = job.Localz;
    for (int k = 1; k <= job.Localilosc; ++k) {
        z = z + job.Localdz / static_cast<float>(job.Localilosc + 1);
        trace(z);
    }
    // An even count leaves the middle of the gap without a contour.
    if (job.Localilosc % 2 == 0) trace(static_cast<float>(outer.fig_ppz + job.Localdz / 2));
}

std::vector<GapJob> gapJobs(int count, double warstwaSzer) {
    std::vector<GapJob> jobs;
    for (int i = 0; i < count; ++i) {
        const tFigura& f = *figureList[size_t(i)];
        if (f.pochodzi < 0 || f.pochodzi >= count) continue;
        const tFigura& parent = *figureList[size_t(f.pochodzi)];
        double gap = 0;
        for (const TrPkt3D& p : f.poz) gap = std::max(gap, nearestDistance(p, parent));
        const auto n = roundHalfEven(gap / warstwaSzer) - 1;
        if (gap > 1.3 * warstwaSzer && n < 20)
            jobs.push_back({i, static_cast<int>(n), static_cast<float>(f.fig_ppz - parent.fig_ppz),
                            static_cast<float>(parent.fig_ppz)});
    }
    return jobs;
}

void fillGaps(const std::vector<GapJob>& jobs, int workers) {
    std::vector<FigureList> results(jobs.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        tDodatkoweWatek worker;
        for (size_t j; (j = next++) < jobs.size();) {
            if (generationTerminate) return;
            worker.Execute(jobs[j], results[j]);
        }
    };
    workers = std::clamp(workers, 1, static_cast<int>(std::max<size_t>(jobs.size(), 1)));
    std::vector<std::thread> threads;
    for (int t = 1; t < workers; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    for (FigureList& r : results)
        for (auto& f : r) figureList.push_back(std::move(f));
}

} // namespace korvane
