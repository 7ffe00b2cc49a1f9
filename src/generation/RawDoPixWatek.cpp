#include "generation/RawDoPixWatek.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <utility>
#include <vector>

namespace korvane {

namespace {

double distance(const TrPkt3D& p, const TrPkt3D& q) {
    const double dx = static_cast<double>(q.x) - p.x;
    const double dy = static_cast<double>(q.y) - p.y;
    const double dz = static_cast<double>(q.z) - p.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

TrPkt3D along(const TrPkt3D& from, const TrPkt3D& to, double t) {
    return {static_cast<float>(from.x + t * (static_cast<double>(to.x) - from.x)),
            static_cast<float>(from.y + t * (static_cast<double>(to.y) - from.y)),
            static_cast<float>(from.z + t * (static_cast<double>(to.z) - from.z))};
}

} // namespace

namespace {

// Columns of the layer a sweep may write: workers own bands of columns.
struct Band {
    int first, last;
};

void segment(tpix2d& layer, const TrPkt3D& p, const TrPkt3D& q, bool dense, Band band) {
    const double length = distance(p, q) / pixelSize;
    if (!std::isfinite(length)) return; // a corrupt vertex
    auto m = roundHalfEven(length) + 1;
    if (dense) m *= 2;
    const double firstColumn = band.first - 0.5, lastColumn = band.last + 0.5;
    const double lastRow = layer.rows() - 0.5;
    const float dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z;
    for (std::int64_t j = 0; j <= m; ++j) {
        const float s = static_cast<float>(j) / static_cast<float>(m);
        const float x = p.x + s * dx, y = p.y + s * dy, z = p.z + s * dz;
        const double u = x / pixelSize, v = y / pixelSize;
        // Also drops samples of a triangle with coordinates that are not numbers.
        if (!(u >= firstColumn && u <= lastColumn && v >= -0.5 && v <= lastRow)) continue;
        const auto ix = roundHalfEven(u), iy = roundHalfEven(v);
        if (ix < band.first || ix > band.last || iy < 0 || iy >= layer.rows()) continue;
        float& cell = layer[static_cast<int>(ix)][static_cast<int>(iy)];
        if (z > cell) cell = z;
    }
}

void triangle(tpix2d& layer, TrPkt3D a, TrPkt3D b, TrPkt3D c, bool dense, Band band) {
    if (a.z > b.z) std::swap(a, b);
    if (b.z > c.z) std::swap(b, c);
    if (a.z > b.z) std::swap(a, b);
    const double steps = std::max(distance(a, b) / pixelSize + 1, distance(a, c) / pixelSize + 1);
    if (!std::isfinite(steps)) return; // a corrupt vertex
    const auto n = roundHalfEven(steps) * 2;
    for (std::int64_t k = 0; k <= n; ++k) {
        const double t = static_cast<double>(k) / static_cast<double>(n);
        segment(layer, along(a, c, t), along(a, b, t), dense, band);
    }
}

} // namespace

void rasteriseSegment(tpix2d& layer, const TrPkt3D& p, const TrPkt3D& q) {
    segment(layer, p, q, settings.printer3D, {0, layer.columns() - 1});
}

void rasteriseTriangle(tpix2d& layer, TrPkt3D a, TrPkt3D b, TrPkt3D c) {
    triangle(layer, a, b, c, settings.printer3D, {0, layer.columns() - 1});
}

void TRawDoPix::Inicjuj(const TriangleList* adresListyZrodlowej, tpix2d* adresMacierzyDocelowej,
                        bool tylkoPixZostaloPoZgrubnej, const TModel* adresParametrow) {
    adrLstSrc = adresListyZrodlowej;
    adrMatrixDest = adresMacierzyDocelowej;
    tylkoPixZostPoZgrubnej = tylkoPixZostaloPoZgrubnej;
    adrParametrow = adresParametrow;
}

void TRawDoPix::start(std::function<void()> onEnd) {
    thread.start([this] { Execute(); }, std::move(onEnd));
}

bool TRawDoPix::stopRequested() const {
    return closing || thread.terminated();
}

void TRawDoPix::Execute() {
    if (stopRequested()) return;
    if (tylkoPixZostPoZgrubnej)
        allocateMaterialRaster();
    else
        allocateRasters();
    if (closing) return;
    tpix2d& layer = *adrMatrixDest;
    layer.fill(0.0f);

    const TriangleList& source = *adrLstSrc;
    const double minX = adrParametrow->minX, minY = adrParametrow->minY;
    auto shift = [](float& v, double by) { v = static_cast<float>(v - by); };
    const bool dense = settings.printer3D;
    // Each worker owns a band of columns and takes every triangle that may
    // reach it (a cell's margin around the triangle's plan extent), writing only
    // the samples that fall in its band: no cell has two writers, and each cell
    // sees exactly the samples the one-thread sweep gives it. The triangles are
    // first sorted into the bands, each worker a share of the list, so that no
    // worker reads the whole list.
    const auto columns = workerColumns(layer.columns() - 1, motionWorkerCount());
    std::vector<Band> bands;
    for (const auto& [first, last] : columns)
        if (first <= last) bands.push_back({first, last});
    const std::size_t workers = bands.size();
    std::atomic<bool> stop{false};
    auto stopNow = [&] {
        if (stop.load(std::memory_order_relaxed)) return true;
        if (!stopRequested()) return false;
        stop = true;
        return true;
    };
    auto placed = [&](const TTrojkat& original) {
        TTrojkat t = original;
        for (TrPkt3D* v : {&t.a, &t.b, &t.c}) {
            shift(v->x, minX);
            shift(v->y, minY);
        }
        return t;
    };
    // members[share][band]: the triangles of a share of the list that reach a band.
    std::vector<std::vector<std::vector<std::uint32_t>>> members(
        workers, std::vector<std::vector<std::uint32_t>>(workers));
    auto sortIntoBands = [&](std::size_t share) {
        const std::size_t begin = source.size() * share / workers,
                          end = source.size() * (share + 1) / workers;
        for (std::size_t i = begin; i < end; ++i) {
            if ((i & 0xFFF) == 0 && stopNow()) return;
            const TTrojkat t = placed(source[i]);
            const float lowX = std::min({t.a.x, t.b.x, t.c.x}),
                        highX = std::max({t.a.x, t.b.x, t.c.x});
            for (std::size_t b = 0; b < workers; ++b)
                if (!(highX < (bands[b].first - 1.5) * pixelSize ||
                      lowX > (bands[b].last + 1.5) * pixelSize))
                    members[share][b].push_back(static_cast<std::uint32_t>(i));
        }
    };
    auto fillBand = [&](std::size_t b) {
        std::size_t done = 0;
        for (const auto& share : members)
            for (const std::uint32_t i : share[b]) {
                if ((++done & 0xFFF) == 0 && stopNow()) return;
                const TTrojkat t = placed(source[i]);
                triangle(layer, t.a, t.b, t.c, dense, bands[b]);
            }
    };
    auto onAllWorkers = [&](auto&& work) {
        std::vector<std::jthread> threads;
        for (std::size_t w = 1; w < workers; ++w) threads.emplace_back(work, w);
        if (workers > 0) work(std::size_t{0});
    };
    onAllWorkers(sortIntoBands);
    if (!stop) onAllWorkers(fillBand);
}

} // namespace korvane
