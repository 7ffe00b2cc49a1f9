// Opening a 1 000 000-facet binary STL in the window (run it with xvfb-run):
// from the open to the model shown, split into the loading thread (with the
// end handler that hands the triangles to the view), the upload and first
// frame of the model view, and the raster thread, which runs while the view
// draws; view_data_s is the view's part of the end handler (the triangles
// handed over). ratio: open-to-shown time over the loading thread's work done
// on one thread without the window, in the same iteration.
#include "MainWindow.h"
#include "QtMainLoop.h"
#include "RAWview.h"

#include "foundation/State.h"
#include "import/RAWodczytWatek.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace korvane;

namespace {

// A wavy relief of 100 x 80 mm on a 1000 x 500 grid: 1 000 000 facets.
std::filesystem::path writeRelief(const std::filesystem::path& folder) {
    const int nx = 1000, ny = 500;
    const auto file = folder / "relief-1m.stl";
    std::ofstream out(file, std::ios::binary);
    const std::string header(80, ' ');
    out.write(header.data(), 80);
    const std::uint32_t count = 2u * nx * ny;
    out.write(reinterpret_cast<const char*>(&count), 4);
    auto point = [&](int i, int j) {
        const float x = 100.0f * i / nx, y = 80.0f * j / ny;
        return std::array<float, 3>{x, y, 10 + 3 * std::sin(x / 7) * std::cos(y / 5)};
    };
    auto facet = [&](const std::array<float, 3>& a, const std::array<float, 3>& b,
                     const std::array<float, 3>& c) {
        const float normal[3] = {0, 0, 1};
        out.write(reinterpret_cast<const char*>(normal), 12);
        for (const auto* p : {&a, &b, &c}) out.write(reinterpret_cast<const char*>(p->data()), 12);
        out.write("\0\0", 2);
    };
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j) {
            facet(point(i, j), point(i + 1, j), point(i + 1, j + 1));
            facet(point(i, j), point(i + 1, j + 1), point(i, j + 1));
        }
    return file;
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void turnUntil(const std::function<bool()>& done) {
    while (!done()) QApplication::processEvents(QEventLoop::AllEvents, 1);
}

void openLargeStl(benchmark::State& state) {
    char folderName[] = "/tmp/korvane-open-bench-XXXXXX";
    if (!mkdtemp(folderName)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path folder = folderName;
    const auto stl = writeRelief(folder);
    static QtMainLoop loop;
    setMainLoop(&loop);
    programArguments = {"95", "US", "dataDir='" + (folder / "data").string() + "'"};
    {
        MainWindow window(false);
        if (!window.start()) {
            state.SkipWithError("the window did not start");
            return;
        }
        window.show();
        QApplication::processEvents();
        auto* view = window.findChild<TRAWview*>("RAWview1");
        auto& opening = window.logic().modelOpening();
        double load = 0, upload = 0, raster = 0, shown = 0, read = 0, viewData = 0;
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            window.logic().openDroppedFile(stl.string());
            turnUntil([&] { return !opening.loading(); });
            const double loaded = since(start);
            view->grabFramebuffer(); // upload and first frame
            const double drawn = since(start);
            turnUntil([&] { return !opening.modelRasterComing(); });
            const double rastered = since(start);
            load += loaded;
            upload += drawn - loaded;
            raster += rastered - loaded;
            shown += drawn;

            // The view's share of the end handler: the triangles handed over again.
            const auto handOver = std::chrono::steady_clock::now();
            window.showModel();
            viewData += since(handOver);
            view->grabFramebuffer();

            // The loading thread's work alone, on this thread.
            const auto bare = std::chrono::steady_clock::now();
            TriangleList triangles;
            TModel record;
            TrPkt3D size;
            TRAWodczytWatek loader;
            loader.Inicjuj(&triangles, stl, &record, &size);
            loader.Execute();
            read += since(bare);
            benchmark::DoNotOptimize(triangles.data());
        }
        const double n = static_cast<double>(state.iterations());
        state.counters["facets"] = static_cast<double>(modelTriangles.size());
        state.counters["shown_s"] = shown / n;
        state.counters["load_s"] = load / n;
        state.counters["upload_s"] = upload / n;
        state.counters["raster_s"] = raster / n;
        state.counters["view_data_s"] = viewData / n;
        state.counters["loader_s"] = read / n;
        state.counters["ratio"] = shown / read;
    }
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(openLargeStl)
    ->Name("OpenLargeStl")
    ->Iterations(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
