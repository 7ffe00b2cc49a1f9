// A G-code program of a million lines, a third of them arcs, read into an
// output path file with its feeds file: lines per second and the peak memory,
// against the baseline of splitting the same file into its lines.
#include "generation/ProgramImport.h"
#include "import/FileBytes.h"
#include "import/LineReader.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace korvane;

namespace {

constexpr long long programLines = 1'000'000;

std::filesystem::path benchFile(const char* name) {
    return std::filesystem::temp_directory_path() /
           ("korvane-bench-" + std::to_string(::getpid()) + "-" + name);
}

// Rows of pockets as a CAM system writes them: per row a plunge, straight cuts
// and arcs of 2 to 20 mm radius turning either way, then a lift.
std::filesystem::path makeProgram() {
    const std::filesystem::path file = benchFile("program.nc");
    std::ofstream out(file, std::ios::binary);
    out << "%\n(benchmark program)\nG21 G90 G17 G94\nG0 Z10\nS16000 M3\n";
    long long lines = 5;
    char line[160];
    double x = 0, y = 0;
    for (long long row = 0; lines < programLines - 3; ++row) {
        y = (row % 400) * 1.0;
        x = 0;
        std::snprintf(line, sizeof line, "G0 X%.3f Y%.3f\nG0 Z1\nG1 Z-%.3f F300\n", x, y,
                      0.5 + (row % 7) * 0.1);
        out << line;
        lines += 3;
        for (int i = 0; i < 60 && lines < programLines - 4; ++i) {
            const double r = 2 + (i % 10) * 2;
            if (i % 3 == 2) {
                // A half circle forward along x and back to the row.
                const bool up = (i / 3) % 2 == 0;
                std::snprintf(line, sizeof line, "%s X%.3f Y%.3f I%.3f J0 F%d\n", up ? "G3" : "G2",
                              x + 2 * r, y, r, 1200 + (i % 4) * 100);
                x += 2 * r;
            } else {
                x += 1.5;
                std::snprintf(line, sizeof line, "G1 X%.3f Y%.3f Z-%.3f F1200\n", x, y,
                              0.5 + std::sin(x * 0.1) * 0.2 + 0.2);
            }
            out << line;
            ++lines;
        }
        out << "G0 Z10\n";
        ++lines;
    }
    out << "M5\nM30\n%\n";
    return file;
}

// The peak resident memory since the last reset, MB.
double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// Lets the peak memory start again from the memory in use now.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_GCodeInMillionLines(benchmark::State& state) {
    const std::filesystem::path program = makeProgram();
    const std::filesystem::path output = benchFile("program.out");
    double ours = 0, baseline = 0, peak = 0, before = 0;
    long long points = 0;
    for (auto _ : state) {
        // The baseline first, then the reader, so that both meet the same load.
        auto start = std::chrono::steady_clock::now();
        {
            InputFile file(program);
            LineReader lines(file, {});
            std::string_view line;
            long long n = 0;
            while (lines.next(line)) n += static_cast<long long>(line.size() > 0);
            benchmark::DoNotOptimize(n);
        }
        baseline += seconds(start);
        resetPeak();
        before = peakMegabytes();
        start = std::chrono::steady_clock::now();
        const GCodeProgram read = importGCodeProgram(program, output);
        ours += seconds(start);
        peak = std::max(peak, peakMegabytes() - before);
        points = 0;
        for (const auto& f : read.figures) points += static_cast<long long>(f->poz.size());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["lines"] = static_cast<double>(programLines);
    state.counters["points"] = static_cast<double>(points);
    state.counters["lines_per_s"] = programLines / (ours / n);
    state.counters["peak_MB"] = peak;
    state.counters["ratio_to_line_split"] = ours / baseline;
    std::error_code ec;
    for (const auto& f :
         {program, output, std::filesystem::path(output).replace_extension("feeds")})
        std::filesystem::remove(f, ec);
}

} // namespace

BENCHMARK(BM_GCodeInMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
