// Loading large STL models from disk through the whole loading thread, the
// share of each of its phases, a plain read of the same file as the baseline
// for the binary reading, and Assimp's STL importer as the baseline for the
// text reading.
#include "import/FileBytes.h"
#include "import/RAWodczytWatek.h"
#include "import/RawReader.h"
#include "import/Stl2RawConverter.h"
#include "platform/MainLoop.h"

#include <assimp/cimport.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <unistd.h>

using namespace korvane;

namespace {

// A wavy terrain of `facets` triangles (two per grid square), normals matching
// the winding.
std::vector<std::pair<TPoint3D, TTriangle3D>> terrain(std::size_t facets) {
    const std::size_t side = static_cast<std::size_t>(std::ceil(std::sqrt(facets / 2.0)));
    auto z = [](std::size_t i, std::size_t j) {
        return static_cast<float>(20 + 8 * std::sin(i * 0.031) * std::cos(j * 0.017) +
                                  0.5 * std::sin(i * j * 0.0007));
    };
    std::vector<std::pair<TPoint3D, TTriangle3D>> out;
    out.reserve(facets);
    for (std::size_t i = 0; i < side && out.size() < facets; ++i)
        for (std::size_t j = 0; j < side && out.size() < facets; ++j) {
            const float x0 = i * 0.1f, y0 = j * 0.1f, x1 = x0 + 0.1f, y1 = y0 + 0.1f;
            const TPoint3D p00{x0, y0, z(i, j)}, p10{x1, y0, z(i + 1, j)},
                p11{x1, y1, z(i + 1, j + 1)}, p01{x0, y1, z(i, j + 1)};
            for (const TTriangle3D& t : {TTriangle3D{p00, p10, p11}, TTriangle3D{p00, p11, p01}}) {
                if (out.size() == facets) break;
                const float ux = t.b.x - t.a.x, uy = t.b.y - t.a.y, uz = t.b.z - t.a.z;
                const float vx = t.c.x - t.a.x, vy = t.c.y - t.a.y, vz = t.c.z - t.a.z;
                out.push_back({{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx}, t});
            }
        }
    return out;
}

struct BenchFile {
    std::filesystem::path path;
    explicit BenchFile(std::filesystem::path p) : path(std::move(p)) {}
    ~BenchFile() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

std::filesystem::path benchPath(const char* name) {
    return std::filesystem::temp_directory_path() /
           ("korvane-bench-" + std::to_string(::getpid()) + "-" + name);
}

const std::filesystem::path& binaryStl() {
    static const BenchFile file = [] {
        BenchFile f(benchPath("binary.stl"));
        const auto mesh = terrain(1'000'000);
        std::ofstream out(f.path, std::ios::binary);
        char header[80] = "binary terrain";
        out.write(header, 80);
        const std::int32_t n = static_cast<std::int32_t>(mesh.size());
        out.write(reinterpret_cast<const char*>(&n), 4);
        const char attribute[2] = {};
        for (const auto& [normal, t] : mesh) {
            out.write(reinterpret_cast<const char*>(&normal), 12);
            out.write(reinterpret_cast<const char*>(&t), 36);
            out.write(attribute, 2);
        }
        return f;
    }();
    return file.path;
}

const std::filesystem::path& textStl() {
    static const BenchFile file = [] {
        BenchFile f(benchPath("text.stl"));
        const auto mesh = terrain(200'000);
        std::FILE* out = std::fopen(f.path.c_str(), "wb");
        std::fprintf(out, "solid terrain\r\n");
        for (const auto& [n, t] : mesh) {
            std::fprintf(out, "  facet normal %e %e %e\r\n    outer loop\r\n", n.x, n.y, n.z);
            for (const TPoint3D& p : {t.a, t.b, t.c})
                std::fprintf(out, "      vertex %e %e %e\r\n", p.x, p.y, p.z);
            std::fprintf(out, "    endloop\r\n  endfacet\r\n");
        }
        std::fprintf(out, "endsolid terrain\r\n");
        std::fclose(out);
        return f;
    }();
    return file.path;
}

// The whole load: thread, end handler on the main loop.
void loadThroughThread(benchmark::State& state, const std::filesystem::path& file) {
    std::size_t triangles = 0;
    for (auto _ : state) {
        TriangleList list;
        TModel record;
        TrPkt3D size;
        TRAWodczytWatek loader;
        loader.Inicjuj(&list, file, &record, &size);
        bool ended = false;
        loader.start([&] { ended = true; });
        if (!queueMainLoop().runUntil([&] { return ended; }, std::chrono::minutes(5)))
            state.SkipWithError("the load did not end");
        triangles = list.size();
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(file)));
}

// CPU time of the calling thread, in milliseconds: the load runs on one thread,
// and on a busy machine its CPU time is steadier than the wall clock.
struct ThreadClock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
};

// The same steps one by one, each timed in CPU time: the share of each phase.
void phases(benchmark::State& state, const std::filesystem::path& file) {
    using clock = ThreadClock;
    double read = 0, place = 0, vertices = 0, sort = 0, planes = 0;
    for (auto _ : state) {
        auto t0 = clock::now();
        ReadModel model = readModelFile(file, 1);
        auto t1 = clock::now();
        TModel record;
        TrPkt3D size;
        placeModel(model, file, record, size);
        auto t2 = clock::now();
        sortVertices(model.triangles);
        auto t3 = clock::now();
        sortByLowestZ(model.triangles);
        auto t4 = clock::now();
        computePlanes(model.triangles);
        auto t5 = clock::now();
        benchmark::DoNotOptimize(model.triangles.data());
        auto ms = [](double a, double b) { return b - a; };
        read += ms(t0, t1);
        place += ms(t1, t2);
        vertices += ms(t2, t3);
        sort += ms(t3, t4);
        planes += ms(t4, t5);
    }
    const double total = read + place + vertices + sort + planes;
    const double n = static_cast<double>(state.iterations());
    state.counters["read_ms"] = read / n;
    state.counters["move_ms"] = place / n;
    state.counters["vertexSort_ms"] = vertices / n;
    state.counters["listSort_ms"] = sort / n;
    state.counters["planes_ms"] = planes / n;
    state.counters["read_%"] = 100 * read / total;
    state.counters["move_%"] = 100 * place / total;
    state.counters["vertexSort_%"] = 100 * vertices / total;
    state.counters["listSort_%"] = 100 * sort / total;
    state.counters["planes_%"] = 100 * planes / total;
}

double seconds(auto&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The text STL read by our converter and by Assimp (no post-processing), one
// after the other in each iteration so that both meet the same machine load.
// ratio: Assimp's time over ours, above 1 when ours is faster.
void BM_TextStl200kAgainstAssimp(benchmark::State& state) {
    const auto& file = textStl();
    double ours = 0, assimp = 0;
    std::size_t ourFacets = 0, assimpFacets = 0;
    for (auto _ : state) {
        ours += seconds([&] {
            TStl2RawConverter converter(file);
            converter.Convert();
            ourFacets = converter.GetTriangleCount();
        });
        assimp += seconds([&] {
            const aiScene* scene = aiImportFile(file.c_str(), 0);
            assimpFacets = 0;
            for (unsigned i = 0; scene && i < scene->mNumMeshes; ++i)
                assimpFacets += scene->mMeshes[i]->mNumFaces;
            aiReleaseImport(scene);
        });
    }
    if (ourFacets != assimpFacets) state.SkipWithError("Assimp read another number of facets");
    const double n = static_cast<double>(state.iterations());
    state.counters["facets"] = static_cast<double>(ourFacets);
    state.counters["korvane_s"] = ours / n;
    state.counters["assimp_s"] = assimp / n;
    state.counters["ratio"] = assimp / ours;
}

// Baseline: the file's bytes read into memory, nothing else.
void BM_ReadBinaryStlBytes(benchmark::State& state) {
    const auto& file = binaryStl();
    for (auto _ : state) {
        FileBytes bytes(file);
        benchmark::DoNotOptimize(bytes.view().data());
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(file)));
}

void BM_LoadBinaryStl1M(benchmark::State& state) {
    loadThroughThread(state, binaryStl());
}
void BM_LoadTextStl200k(benchmark::State& state) {
    loadThroughThread(state, textStl());
}
void BM_PhasesBinaryStl1M(benchmark::State& state) {
    phases(state, binaryStl());
}
void BM_PhasesTextStl200k(benchmark::State& state) {
    phases(state, textStl());
}

} // namespace

BENCHMARK(BM_ReadBinaryStlBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_LoadBinaryStl1M)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_PhasesBinaryStl1M)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_TextStl200kAgainstAssimp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(4);
BENCHMARK(BM_LoadTextStl200k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_PhasesTextStl200k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
