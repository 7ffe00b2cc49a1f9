// Building the model height layer from a mesh of about 1 000 000 triangles (a
// relief of 200 x 150 mm) at 5 cells per mm: the triangles one after another
// on one thread, and TRawDoPix with its workers; both must give the same layer.
#include "foundation/State.h"
#include "generation/RawDoPixWatek.h"
#include "geometry/Raster.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>

using namespace korvane;

namespace {

// A wavy relief triangulated on a grid of columns x rows quads.
TriangleList reliefMesh(double width, double depth, int columns, int rows) {
    auto point = [&](int i, int j) {
        const double x = width * i / columns, y = depth * j / rows;
        const double z = 2 + 3 * (1 + std::sin(x / 9.0) * std::cos(y / 7.0)) +
                         0.4 * std::sin(x * 3) * std::sin(y * 2);
        return TrPkt3D{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    };
    TriangleList list;
    list.reserve(static_cast<std::size_t>(columns) * rows * 2);
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j) {
            TTrojkat t;
            t.a = point(i, j);
            t.b = point(i + 1, j);
            t.c = point(i + 1, j + 1);
            list.push_back(t);
            t.b = t.c;
            t.c = point(i, j + 1);
            list.push_back(t);
        }
    return list;
}

void RasterOfAMillionTriangles(benchmark::State& state) {
    const TriangleList mesh = reliefMesh(200, 150, 820, 610); // 1 000 400 triangles
    pixelSize = 0.2;
    settings.printer3D = false;
    closing = false;
    rasterSizeX = 1000;
    rasterSizeY = 750;
    TModel extents;

    tpix2d plain(rasterSizeX + 1, rasterSizeY + 1);
    const auto start = std::chrono::steady_clock::now();
    for (const TTrojkat& t : mesh) rasteriseTriangle(plain, t.a, t.b, t.c);
    const double plainSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    TRawDoPix raster;
    raster.Inicjuj(&mesh, &modelHeights, false, &extents);
    for (auto _ : state) raster.Execute();
    const bool identical =
        std::equal(plain.cells().begin(), plain.cells().end(), modelHeights.cells().begin());
    if (!identical) state.SkipWithError("the threaded layer differs from the plain one");
    state.counters["triangles"] = static_cast<double>(mesh.size());
    state.counters["plain_s"] = plainSeconds;
}
BENCHMARK(RasterOfAMillionTriangles)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
