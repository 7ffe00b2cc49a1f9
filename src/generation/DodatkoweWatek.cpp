#include "generation/DodatkoweWatek.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/Kontury.h"
#include "generation/RegionMask.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <limits>
#include <thread>

namespace korvane {

namespace {

// The points of a contour bucketed by plan square, for the distance from a
// point to the nearest of them: only the squares around the point are looked
// at, ring by ring, until no farther square can hold a nearer point.
class NearestPoints {
  public:
    NearestPoints(const std::vector<TrPkt3D>& points, double square)
        : points_(points), square_(square) {
        if (points.empty()) return;
        x0_ = x1_ = points[0].x;
        y0_ = y1_ = points[0].y;
        for (const TrPkt3D& p : points) {
            x0_ = std::min<double>(x0_, p.x), x1_ = std::max<double>(x1_, p.x);
            y0_ = std::min<double>(y0_, p.y), y1_ = std::max<double>(y1_, p.y);
        }
        columns_ = static_cast<int>((x1_ - x0_) / square_) + 1;
        rows_ = static_cast<int>((y1_ - y0_) / square_) + 1;
        first_.assign(size_t(columns_) * size_t(rows_) + 1, 0);
        for (const TrPkt3D& p : points) ++first_[bucket(p) + 1];
        for (size_t b = 1; b < first_.size(); ++b) first_[b] += first_[b - 1];
        order_.resize(points.size());
        std::vector<size_t> next(first_.begin(), first_.end() - 1);
        for (size_t k = 0; k < points.size(); ++k) order_[next[bucket(points[k])]++] = k;
    }

    double distance(const TrPkt3D& p) const {
        double best = std::numeric_limits<double>::infinity();
        if (points_.empty()) return best;
        const int cx = static_cast<int>(std::floor((p.x - x0_) / square_));
        const int cy = static_cast<int>(std::floor((p.y - y0_) / square_));
        // Squares of ring r + 1 lie at least r squares away in plan, and the
        // plan distance never exceeds the distance in space.
        const int reach =
            std::max({std::abs(cx), std::abs(cy), std::abs(cx - columns_), std::abs(cy - rows_)}) +
            1;
        for (int r = 0; r <= reach; ++r) {
            for (int x = cx - r; x <= cx + r; ++x)
                for (int y = cy - r; y <= cy + r; y += (x == cx - r || x == cx + r) ? 1 : 2 * r) {
                    if (x < 0 || y < 0 || x >= columns_ || y >= rows_) continue;
                    const size_t b = size_t(x) * size_t(rows_) + size_t(y);
                    for (size_t k = first_[b]; k < first_[b + 1]; ++k)
                        best = std::min(best, distance3(p, points_[order_[k]]));
                    if (r == 0) break;
                }
            if (best <= r * square_) break;
        }
        return best;
    }

  private:
    size_t bucket(const TrPkt3D& p) const {
        const int x = std::min(columns_ - 1, static_cast<int>((p.x - x0_) / square_));
        const int y = std::min(rows_ - 1, static_cast<int>((p.y - y0_) / square_));
        return size_t(x) * size_t(rows_) + size_t(y);
    }

    const std::vector<TrPkt3D>& points_;
    double square_;
    double x0_ = 0, x1_ = 0, y0_ = 0, y1_ = 0;
    int columns_ = 0, rows_ = 0;
    std::vector<size_t> first_; // per square, where its points start in order_
    std::vector<size_t> order_;
};

} // namespace

tDodatkoweWatek::tDodatkoweWatek(tpix2dRec* status)
    : mask_(rasterSizeX + 1, rasterSizeY + 1),
      ownStatus_(status ? 0 : rasterSizeX + 1, status ? 0 : rasterSizeY + 1),
      status_(status ? *status : ownStatus_) {}

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
        const NearestPoints nearest(parent.poz, std::max(warstwaSzer, 4 * pixelSize));
        double gap = 0;
        for (const TrPkt3D& p : f.poz) gap = std::max(gap, nearest.distance(p));
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
    std::vector<std::exception_ptr> failures(size_t(std::max(workers, 1)));
    auto work = [&](size_t t) {
        try {
            // The first worker runs on the generation thread with the
            // process-wide status layer: each region and trace clears the cells
            // it reads, so nothing depends on what it held, and only further
            // workers pay for a layer of their own.
            tDodatkoweWatek worker(t == 0 ? &cellStatus : nullptr);
            for (size_t j; (j = next++) < jobs.size();) {
                if (generationTerminate) return;
                worker.Execute(jobs[j], results[j]);
            }
        } catch (...) {
            failures[t] = std::current_exception();
            next = jobs.size(); // the others stop too
        }
    };
    workers = std::clamp(workers, 1, static_cast<int>(std::max<size_t>(jobs.size(), 1)));
    std::vector<std::thread> threads;
    for (int t = 1; t < workers; ++t) threads.emplace_back(work, size_t(t));
    work(0);
    for (std::thread& t : threads) t.join();
    // A job that failed (out of memory) fails the generation, as on one thread.
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
    for (FigureList& r : results)
        for (auto& f : r) figureList.push_back(std::move(f));
}

} // namespace korvane
