// The layered print of a part of everyday size: a closed block 200 x 200 mm,
// up to 50 mm high, its top a grid of 53 x 53 cells (6 044 triangles), at
// 0.2 mm layers. Reports the seconds of each phase and a checksum of every
// point printed, so that a change can be checked to leave the output alike.
// When `prusa-slicer` is on the PATH, its time on the same model written to
// an STL file is the baseline of the same run.
#include "GenerationRuns.h"
#include "ModelSupport.h"
#include "ReliefBlock.h"

#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "generation/GenerujStereo.h"
#include "geometry/Figury.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace korvane;

namespace {

TriangleList partBlock() {
    return bench::reliefBlock(53, 200, [](double x, double y) {
        return 36 + 9 * std::sin(x / 17) * std::cos(y / 23) + 5 * std::sin((x + y) / 11);
    });
}

// FNV-1a over the bytes of every point of every figure, in list order.
std::uint64_t pointChecksum() {
    std::uint64_t h = 14695981039346656037ULL;
    auto mix = [&](const void* data, size_t size) {
        const auto* b = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) h = (h ^ b[i]) * 1099511628211ULL;
    };
    for (const auto& f : figureList)
        for (const TrPkt3D& p : f->poz) {
            mix(&p.x, sizeof p.x);
            mix(&p.y, sizeof p.y);
            mix(&p.z, sizeof p.z);
        }
    return h;
}

void writeBinaryStl(const std::filesystem::path& path, const TriangleList& list) {
    std::ofstream out(path, std::ios::binary);
    char header[80] = {};
    out.write(header, sizeof header);
    const auto count = static_cast<std::uint32_t>(list.size());
    out.write(reinterpret_cast<const char*>(&count), sizeof count);
    for (const TTrojkat& t : list) {
        float v[12] = {0, 0, 0, t.a.x, t.a.y, t.a.z, t.b.x, t.b.y, t.b.z, t.c.x, t.c.y, t.c.z};
        out.write(reinterpret_cast<const char*>(v), sizeof v);
        const std::uint16_t attributes = 0;
        out.write(reinterpret_cast<const char*>(&attributes), sizeof attributes);
    }
}

// Seconds PrusaSlicer takes to slice the model and write its G-code at the
// same layer height; negative when it is not installed or fails.
double prusaSeconds(const TriangleList& list) {
    if (std::system("command -v prusa-slicer >/dev/null 2>&1") != 0) return -1;
    const auto folder = std::filesystem::temp_directory_path() /
                        ("korvane-print-part-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    writeBinaryStl(folder / "part.stl", list);
    const std::string command = "prusa-slicer --export-gcode --layer-height 0.2 --output '" +
                                (folder / "part.gcode").string() + "' '" +
                                (folder / "part.stl").string() + "' >/dev/null 2>&1";
    int status = 0;
    const double s = bench::seconds([&] { status = std::system(command.c_str()); });
    std::filesystem::remove_all(folder);
    return status == 0 ? s : -1;
}

void PrintPart200mm(benchmark::State& state) {
    settings.printer3D = true;
    test::useTriangles(partBlock(), 0.2);
    state.counters["triangles"] = double(modelTriangles.size());
    for (auto _ : state) {
        figureList.clear();
        PrintPhaseSeconds s;
        const double total = bench::seconds([&] { s = GenerujStereo(bench::printOperation()); });
        state.counters["total_s"] = total;
        state.counters["slicing_s"] = s.slicing;
        state.counters["perimeters_s"] = s.perimeters;
        state.counters["hatching_s"] = s.hatching;
        state.counters["joining_s"] = s.joining;
        state.counters["ordering_s"] = s.ordering;
        state.counters["figures"] = double(figureList.size());
        state.counters["layers"] = liczbaWarstw(modelSize.z, 0.2);
        const double prusa = prusaSeconds(modelTriangles);
        if (prusa > 0) {
            state.counters["prusa_s"] = prusa;
            state.counters["over_prusa"] = total / prusa;
        }
        state.SetLabel("points " + std::to_string(pointChecksum()));
    }
    figureList.clear();
    modelTriangles.clear();
}
BENCHMARK(PrintPart200mm)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
