// Building the model height layer from a mesh of 1 000 000 triangles (a relief
// of 200 x 150 mm) at 5 cells per mm.
#include "app/State.h"
#include "generation/Raster.h"
#include "generation/RawDoPixWatek.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace korvane;

namespace {

struct Mesh {
    std::vector<TrPkt3D> vertices; // three per triangle
};

// A wavy relief triangulated on a grid of columns x rows quads.
Mesh reliefMesh(double width, double depth, int columns, int rows) {
    auto point = [&](int i, int j) {
        const double x = width * i / columns, y = depth * j / rows;
        const double z = 2 + 3 * (1 + std::sin(x / 9.0) * std::cos(y / 7.0)) +
                         0.4 * std::sin(x * 3) * std::sin(y * 2);
        return TrPkt3D{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    };
    Mesh m;
    m.vertices.reserve(static_cast<std::size_t>(columns) * rows * 6);
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j) {
            const TrPkt3D a = point(i, j), b = point(i + 1, j), c = point(i + 1, j + 1),
                          d = point(i, j + 1);
            m.vertices.insert(m.vertices.end(), {a, b, c, a, c, d});
        }
    return m;
}

void RasterOfAMillionTriangles(benchmark::State& state) {
    const Mesh mesh = reliefMesh(200, 150, 820, 610); // 1 000 400 triangles
    pixelSize = 0.2;
    settings.printer3D = false;
    for (auto _ : state) {
        tpix2d layer(1001, 751);
        for (std::size_t t = 0; t < mesh.vertices.size(); t += 3)
            rasteriseTriangle(layer, mesh.vertices[t], mesh.vertices[t + 1], mesh.vertices[t + 2]);
        benchmark::DoNotOptimize(layer.cells().data());
    }
    state.counters["triangles"] = static_cast<double>(mesh.vertices.size() / 3);
}
BENCHMARK(RasterOfAMillionTriangles)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
