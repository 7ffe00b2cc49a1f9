// Frame time of the model view with Mesa under an X server (run it with
// xvfb-run): the triangles drawn from the vertex buffer the view uploads once,
// against the same triangles sent one by one every frame (immediate mode), in
// the same iteration so that both meet the same machine load. The view turns a
// little every frame. ratio: immediate time over buffer time.
// OutputPreviewFrame: an output of a million points in the output preview
// (paths, rapids and plunges, axes, legend, the tool) against a model of a
// million triangles in the model view, each frame rendered and read back alike
// in the same iteration; the output is uploaded once and the playback moves
// the tool every frame. ratio: path frame time over model frame time.
#include "PathPreviewView.h"
#include "RAWview.h"

#include "app/PathPreview.h"
#include "app/ToolMesh.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

using namespace korvane;

namespace {

// A wavy height field of about `count` triangles over 100 × 100 mm.
TriangleList surface(int count) {
    const int side = static_cast<int>(std::sqrt(count / 2.0));
    const float step = 100.0f / side;
    auto point = [&](int i, int j) {
        const float x = i * step, y = j * step;
        return TrPkt3D{x, y, 5 + 3 * std::sin(x / 7) * std::cos(y / 5)};
    };
    TriangleList triangles;
    triangles.reserve(static_cast<std::size_t>(2 * side * side));
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            triangles.push_back({point(i, j), point(i + 1, j), point(i + 1, j + 1)});
            triangles.push_back({point(i, j), point(i + 1, j + 1), point(i, j + 1)});
        }
    return triangles;
}

class BenchView final : public TRAWview {
  public:
    BenchView() : TRAWview(tpPrzegladRAW) {
        setBackground(Qt::black);
        setModelKolor(0x00FF00);
        setModelMaterial(1.0);
        resize(800, 600);
    }
    // One frame as the view draws it, waited for.
    void bufferFrame() {
        makeCurrent();
        paintGL();
        glFinish();
        doneCurrent();
    }
    // The same frame with every triangle and its normal sent one by one.
    void immediateFrame(const TriangleList& triangles) {
        makeCurrent();
        setUpFrame();
        applyCentring();
        glBegin(GL_TRIANGLES);
        for (const TTrojkat& t : triangles) {
            const float ux = t.b.x - t.a.x, uy = t.b.y - t.a.y, uz = t.b.z - t.a.z;
            const float vx = t.c.x - t.a.x, vy = t.c.y - t.a.y, vz = t.c.z - t.a.z;
            glNormal3f(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx);
            glVertex3f(t.a.x, t.a.y, t.a.z);
            glVertex3f(t.b.x, t.b.y, t.b.z);
            glVertex3f(t.c.x, t.c.y, t.c.z);
        }
        glEnd();
        glFinish();
        doneCurrent();
    }
};

double seconds(auto&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void frames(benchmark::State& state) {
    const TriangleList triangles = surface(static_cast<int>(state.range(0)));
    BenchView view;
    view.show();
    QApplication::processEvents();
    view.LadujListeRAW(triangles, 0, 100, 0, 100, 0, 0);
    view.grabFramebuffer(); // the upload
    double buffer = 0, immediate = 0;
    for (auto _ : state) {
        view.Nawigacja(navRotate, 1, 1);
        buffer += seconds([&] { view.bufferFrame(); });
        immediate += seconds([&] { view.immediateFrame(triangles); });
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["triangles"] = static_cast<double>(triangles.size());
    state.counters["buffer_ms"] = 1000 * buffer / n;
    state.counters["immediate_ms"] = 1000 * immediate / n;
    state.counters["ratio"] = immediate / buffer;
    // Turning never sends the triangles again.
    state.counters["uploads"] = view.bufferUploads();
    if (view.bufferUploads() != 1) state.SkipWithError("the view uploaded its triangles again");
}

// Zig-zag lines of `perFigure` points over 100 × 100 mm, following the wavy surface.
FigureList zigzags(int points, int perFigure) {
    FigureList figures;
    const int lines = points / perFigure;
    for (int k = 0; k < lines; ++k) {
        auto f = std::make_unique<tFigura>();
        f->przestawczyZ = 12;
        const float y = 100.0f * k / lines;
        for (int i = 0; i < perFigure; ++i) {
            const float x = 100.0f * i / (perFigure - 1);
            f->poz.push_back({x, y, 5 + 3 * std::sin(x / 7) * std::cos(y / 5)});
        }
        figures.push_back(std::move(f));
    }
    return figures;
}

void outputFrames(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const TriangleList triangles = surface(count);
    const FigureList figures = zigzags(count, 1000);
    BenchView model;
    model.show();
    PathPreviewView preview;
    preview.resize(800, 600);
    preview.show();
    QApplication::processEvents();
    model.LadujListeRAW(triangles, 0, 100, 0, 100, 0, 0);
    TFrezDane tool;
    tool.typ = toolBallNose;
    tool.d1 = tool.d3 = 6;
    tool.h = tool.hc = 20;
    preview.setTool(toolMesh(tool, 32));
    preview.showPaths(pathPreview(figures, 1), {0, 0, 0, 100, 100, 10});
    model.grabFramebuffer();
    preview.grabFramebuffer(); // the uploads
    double paths = 0, modelTime = 0;
    int at = 0;
    for (auto _ : state) {
        model.Nawigacja(navRotate, 1, 1);
        preview.Nawigacja(navRotate, 1, 1);
        preview.setToolAt(at = (at + 997) % count);
        paths += seconds([&] { preview.grabFramebuffer(); });
        modelTime += seconds([&] { model.grabFramebuffer(); });
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["points"] = static_cast<double>(preview.pathPoints());
    state.counters["triangles"] = static_cast<double>(triangles.size());
    state.counters["path_ms"] = 1000 * paths / n;
    state.counters["model_ms"] = 1000 * modelTime / n;
    state.counters["ratio"] = paths / modelTime;
    // Neither turning nor the playback sends the paths again.
    state.counters["uploads"] = preview.pathUploads();
    if (preview.pathUploads() != 1) state.SkipWithError("the preview uploaded its paths again");
}

} // namespace

BENCHMARK(outputFrames)
    ->Name("OutputPreviewFrame")
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

BENCHMARK(frames)
    ->Name("ModelViewFrame")
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
