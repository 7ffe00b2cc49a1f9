#include "generation/DodajPixRuchuThread.h"

#include "foundation/State.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <thread>

namespace korvane {

int motionWorkerCount(int processors) {
    int count = std::max(processors, 1);
    if (count > 4) --count;
    return std::min(count, 31);
}

int motionWorkerCount() {
    return motionWorkerCount(static_cast<int>(std::thread::hardware_concurrency()));
}

std::vector<std::pair<int, int>> workerColumns(int lastColumn, int workers) {
    workers = std::max(workers, 1);
    const int chunk = lastColumn / workers;
    std::vector<std::pair<int, int>> ranges;
    for (int i = 0; i < workers - 1; ++i) ranges.emplace_back(i * chunk, i * chunk + chunk - 1);
    ranges.emplace_back((workers - 1) * chunk, lastColumn);
    return ranges;
}

namespace {

// The sweep is computed by target cell: target[tx][ty] is the maximum of itself
// and of source[tx - dx][ty - dy] - dz over the profile. A maximum does not
// depend on the order of its terms, so this equals the cell-by-cell sweep bit
// for bit, and each worker owns whole target columns.
//
// The source is copied into columns padded with -infinity above and below, so
// that a source row outside the raster contributes -infinity and the inner loop
// needs no range test. A run of target rows is kept in vector registers while
// every profile point is applied to it.

constexpr int accumulators = 8; // vector registers holding one run of target rows

struct PaddedSource {
    std::vector<float> cells;
    std::size_t stride = 0; // floats per padded column
    int padBefore = 0;      // -infinity rows before row 0
};

struct Profile {
    std::vector<int> dx;     // ascending
    std::vector<int> offset; // padBefore - dy: where row 0 of the target reads its source
    std::vector<float> dz;
};

template <class V>
[[gnu::always_inline]] inline void sweepRuns(float* acc, std::size_t runs,
                                             const float* const* sources, const float* dz,
                                             std::size_t points) {
    constexpr std::size_t lanes = sizeof(V) / sizeof(float);
    constexpr std::size_t run = lanes * accumulators;
    for (std::size_t r = 0; r < runs; ++r) {
        float* out = acc + r * run;
        V m[accumulators];
#pragma GCC unroll 16
        for (int k = 0; k < accumulators; ++k) std::memcpy(&m[k], out + k * lanes, sizeof(V));
        for (std::size_t i = 0; i < points; ++i) {
            const float* s = sources[i] + r * run;
            const V d = V{} + dz[i];
#pragma GCC unroll 16
            for (int k = 0; k < accumulators; ++k) {
                V v;
                std::memcpy(&v, s + k * lanes, sizeof(V));
                v -= d;
                m[k] = m[k] > v ? m[k] : v;
            }
        }
#pragma GCC unroll 16
        for (int k = 0; k < accumulators; ++k) std::memcpy(out + k * lanes, &m[k], sizeof(V));
    }
}

using Float4 = float __attribute__((vector_size(16)));
using Float8 = float __attribute__((vector_size(32)));
using Float16 = float __attribute__((vector_size(64)));

void sweepRunsSse(float* acc, std::size_t runs, const float* const* sources, const float* dz,
                  std::size_t points) {
    sweepRuns<Float4>(acc, runs, sources, dz, points);
}

[[gnu::target("avx2")]] void sweepRunsAvx2(float* acc, std::size_t runs,
                                           const float* const* sources, const float* dz,
                                           std::size_t points) {
    sweepRuns<Float8>(acc, runs, sources, dz, points);
}

[[gnu::target("avx512f")]] void sweepRunsAvx512(float* acc, std::size_t runs,
                                                const float* const* sources, const float* dz,
                                                std::size_t points) {
    sweepRuns<Float16>(acc, runs, sources, dz, points);
}

struct Kernel {
    std::size_t run; // target rows per register run
    void (*sweep)(float*, std::size_t, const float* const*, const float*, std::size_t);
};

Kernel chooseKernel() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) return {16 * accumulators, sweepRunsAvx512};
    if (__builtin_cpu_supports("avx2")) return {8 * accumulators, sweepRunsAvx2};
    return {4 * accumulators, sweepRunsSse};
}

struct Sweep {
    const PaddedSource& source;
    const Profile& profile;
    tpix2d& target;
    Kernel kernel;
    int lastColumn;
    int rows;
    std::size_t runs;

    void columns(int first, int last) const {
        std::vector<float> acc(runs * kernel.run, 0.0f);
        std::vector<const float*> sources(profile.dx.size());
        std::vector<float> dz(profile.dx.size());
        for (int tx = first; tx <= last; ++tx) {
            // Points whose source column tx - dx lies in the raster: dx in [tx - last, tx].
            const auto lo = std::lower_bound(profile.dx.begin(), profile.dx.end(), tx - lastColumn);
            const auto hi = std::upper_bound(lo, profile.dx.end(), tx);
            std::size_t n = 0;
            for (auto it = lo; it != hi; ++it, ++n) {
                const std::size_t i = static_cast<std::size_t>(it - profile.dx.begin());
                sources[n] = source.cells.data() +
                             static_cast<std::size_t>(tx - *it) * source.stride + profile.offset[i];
                dz[n] = profile.dz[i];
            }
            float* column = target[tx].data();
            std::copy_n(column, rows, acc.data());
            kernel.sweep(acc.data(), runs, sources.data(), dz.data(), n);
            std::copy_n(acc.data(), rows, column);
        }
    }
};

} // namespace

void sweepProfile(const tpix2d& source, std::span<const TPkt3D> points, tpix2d& target,
                  int workers) {
    const int lastColumn = std::min({rasterSizeX, source.columns() - 1, target.columns() - 1});
    const int rows = std::min({rasterSizeY + 1, source.rows(), target.rows()});
    if (lastColumn < 0 || rows <= 0) return;

    static const TPkt3D centre{0, 0, 0.0f};
    if (points.empty()) points = {&centre, 1};
    std::vector<TPkt3D> sorted(points.begin(), points.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TPkt3D& a, const TPkt3D& b) { return a.x < b.x; });

    const Kernel kernel = chooseKernel();
    const std::size_t runs = (static_cast<std::size_t>(rows) + kernel.run - 1) / kernel.run;

    int minDy = 0, maxDy = 0;
    for (const TPkt3D& q : sorted) {
        minDy = std::min(minDy, q.y);
        maxDy = std::max(maxDy, q.y);
    }
    // Target row ty reads source row ty - dy; rows run to runs * run - 1.
    PaddedSource padded;
    padded.padBefore = maxDy;
    padded.stride =
        static_cast<std::size_t>(maxDy) + runs * kernel.run + static_cast<std::size_t>(-minDy);
    padded.cells.assign(padded.stride * static_cast<std::size_t>(lastColumn + 1),
                        -std::numeric_limits<float>::infinity());
    for (int x = 0; x <= lastColumn; ++x)
        std::copy_n(source[x].data(), rows,
                    padded.cells.data() + static_cast<std::size_t>(x) * padded.stride + maxDy);

    Profile profile;
    for (const TPkt3D& q : sorted) {
        profile.dx.push_back(q.x);
        profile.offset.push_back(maxDy - q.y);
        profile.dz.push_back(q.z);
    }

    const Sweep sweep{padded, profile, target, kernel, lastColumn, rows, runs};
    const auto ranges = workerColumns(lastColumn, workers);
    std::vector<std::jthread> threads;
    for (std::size_t i = 1; i < ranges.size(); ++i)
        if (ranges[i].first <= ranges[i].second)
            threads.emplace_back([&sweep, r = ranges[i]] { sweep.columns(r.first, r.second); });
    sweep.columns(ranges[0].first, ranges[0].second);
}

void sweepTool(const TFrez& frez, int workers) {
    sweepProfile(offsetHeights, frez.Powierzchnia, motionHeights, workers);
}

} // namespace korvane
