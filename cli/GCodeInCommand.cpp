// korvane3d-cli gcode-in: a G-code program from another CAM system read into an
// output path file with its feeds file, and what the program holds.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"

#include "generation/ProgramImport.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace korvane::cli {

namespace {

int usage(const std::string& text) {
    std::fprintf(stderr, "gcode-in: %s\n", text.c_str());
    return 2;
}

struct Extents {
    TrPkt3D min{std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(),
                std::numeric_limits<float>::infinity()};
    TrPkt3D max{-std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                -std::numeric_limits<float>::infinity()};
    long long points = 0;
};

Extents extentsOf(const FigureList& figures) {
    Extents e;
    for (const auto& f : figures)
        for (const TrPkt3D& p : f->poz) {
            e.min = {std::min(e.min.x, p.x), std::min(e.min.y, p.y), std::min(e.min.z, p.z)};
            e.max = {std::max(e.max.x, p.x), std::max(e.max.y, p.y), std::max(e.max.z, p.z)};
            ++e.points;
        }
    return e;
}

Json pointJson(const TrPkt3D& p) {
    return {{"x", p.x}, {"y", p.y}, {"z", p.z}};
}

void printText(const std::string& program, const std::string& output, const GCodeProgram& read) {
    const GCodeStats& s = read.stats;
    const Extents e = extentsOf(read.figures);
    std::printf("%s: %lld lines%s, %lld rapid moves, %lld feed moves, %lld arcs in %lld "
                "chords, %lld drilled holes\n",
                program.c_str(), s.lines, s.inches ? " in inches" : "", s.rapids, s.feedMoves,
                s.arcs, s.arcChords, s.holes);
    if (read.figures.empty()) {
        std::printf("no cutting move: nothing written\n");
        return;
    }
    std::printf("%s: %zu figures, %lld points\n", output.c_str(), read.figures.size(), e.points);
    std::printf("feeds:");
    for (const double f : s.feeds) std::printf(" %.3f", f);
    std::printf(" mm/min; spindle:");
    for (const double rpm : s.spindleSpeeds) std::printf(" %.0f", rpm);
    std::printf(" rpm\n");
    std::printf("extents: x %.3f to %.3f, y %.3f to %.3f, z %.3f to %.3f mm\n", e.min.x, e.max.x,
                e.min.y, e.max.y, e.min.z, e.max.z);
    std::printf("path length %.3f mm, transfer height %.3f mm\n", s.pathLength,
                read.figures.back()->przestawczyZ);
    if (s.toolChanges > 0 || s.stops > 0)
        std::printf("%lld tool changes and %lld stops run as one job with one tool\n",
                    s.toolChanges, s.stops);
}

Json programJson(const std::string& output, const GCodeProgram& read) {
    const GCodeStats& s = read.stats;
    const Extents e = extentsOf(read.figures);
    Json j;
    j["lines"] = s.lines;
    j["units"] = s.inches ? "inch" : "mm";
    j["moves"] = {{"rapid", s.rapids}, {"feed", s.feedMoves}, {"arc", s.arcs}};
    j["arcs"] = {{"count", s.arcs}, {"chords", s.arcChords}};
    j["holes"] = s.holes;
    j["figures"] = read.figures.size();
    j["points"] = e.points;
    j["feeds"] = Json::array();
    for (const double f : s.feeds) j["feeds"].push_back(f);
    j["spindle"] = Json::array();
    for (const double rpm : s.spindleSpeeds) j["spindle"].push_back(rpm);
    if (e.points > 0) j["extents"] = {{"min", pointJson(e.min)}, {"max", pointJson(e.max)}};
    j["pathLength"] = s.pathLength;
    j["rapidLength"] = s.rapidLength;
    if (!read.figures.empty()) j["transferZ"] = read.figures.back()->przestawczyZ;
    j["toolChanges"] = s.toolChanges;
    j["stops"] = s.stops;
    j["output"] = read.figures.empty() ? Json() : Json(output);
    return j;
}

int runGCodeIn(const CommandArgs& args) {
    if (args.words.empty() || args.words[0].rfind("--", 0) == 0)
        return usage("a G-code program is needed");
    if (const std::string problem = args.problem({"-o"}, {"--json"}); !problem.empty())
        return usage(problem);
    const std::string program = args.words[0];
    const std::string output = args.value("-o");
    if (output.empty()) return usage("-o OUT.out is needed");
    const bool json = args.has("--json");
    try {
        const GCodeProgram read = importGCodeProgram(program, output);
        if (json)
            printJson({{"program", program}, {"result", programJson(output, read)}});
        else
            printText(program, output, read);
        return read.figures.empty() ? 1 : 0;
    } catch (const GCodeRefusal& r) {
        if (json)
            printJson({{"program", program},
                       {"refused",
                        {{"line", r.lineNumber},
                         {"text", r.line},
                         {"word", r.word},
                         {"reason", gcodeProblemText(r.problem)}}}});
        else
            std::fprintf(stderr, "gcode-in: %s, %s\n", program.c_str(), r.what());
        return 1;
    } catch (const std::exception& e) {
        if (json)
            printJson({{"program", program}, {"error", e.what()}});
        else
            std::fprintf(stderr, "gcode-in: %s\n", e.what());
        return 1;
    }
}

const CommandRegistration gcodeIn{
    "gcode-in",
    "gcode-in PROGRAM.nc -o OUT.out [--json]\n"
    "      a G-code program of another CAM system as an output file (with its feeds file\n"
    "      OUT.feeds): its moves, figures, arcs, feeds, extents and path length, or why it\n"
    "      is refused",
    runGCodeIn};

} // namespace

} // namespace korvane::cli
