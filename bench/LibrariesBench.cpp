// Loading the tool and operation libraries from their folders, against reading
// the same files' bytes (the baseline).
#include "foundation/State.h"
#include "libraries/Frezy.h"
#include "libraries/Operacje.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace korvane;

namespace {

constexpr int libraryFiles = 1000;

// A data folder with 1000 tools and 1000 operations, made once and removed at exit.
struct BenchFolder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("korvane-bench-libraries-" + std::to_string(::getpid()));
    BenchFolder() {
        dataFolder = path;
        std::filesystem::create_directories(toolsFolder());
        std::filesystem::create_directories(operationsFolder());
        for (int i = 0; i < libraryFiles; ++i) {
            const std::string name = "Item" + std::to_string(i);
            const TFrezDane t{"{00000000-0000-0000-0000-" + std::to_string(100000000000 + i) + "}",
                              name,
                              i % 3,
                              1.0 + i % 17,
                              0,
                              8,
                              10,
                              40};
            saveToolFile(toolFile(name), t);
            TOperacjaDane o;
            o.nazwa = name;
            o.idTyp = i % 8;
            o.warstwaSzer = 0.1 * (i % 31);
            o.opis = "benchmark operation " + name;
            saveOperationFile(operationFile(name), o);
        }
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

void benchFolder() {
    static const BenchFolder folder;
    dataFolder = folder.path;
}

std::size_t readAllBytes(const std::filesystem::path& folder) {
    std::size_t total = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        total += s.str().size();
    }
    return total;
}

void BM_ReadToolFilesBaseline(benchmark::State& state) {
    benchFolder();
    for (auto _ : state) benchmark::DoNotOptimize(readAllBytes(toolsFolder()));
}

void BM_LoadToolLibrary(benchmark::State& state) {
    benchFolder();
    for (auto _ : state) {
        TFrezy library;
        benchmark::DoNotOptimize(library.Lista.size());
    }
}

void BM_ReadOperationFilesBaseline(benchmark::State& state) {
    benchFolder();
    for (auto _ : state) benchmark::DoNotOptimize(readAllBytes(operationsFolder()));
}

void BM_LoadOperationLibrary(benchmark::State& state) {
    benchFolder();
    for (auto _ : state) {
        TOperacje library;
        benchmark::DoNotOptimize(library.Lista.size());
    }
}

} // namespace

BENCHMARK(BM_ReadToolFilesBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadToolLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadOperationFilesBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOperationLibrary)->Unit(benchmark::kMillisecond);
