// korvane3d-cli generate: the sample project end to end, read back by the
// output reader, every milling type on the sample model alike from run to run,
// and every precondition failure with its message and nothing written; the
// sample project alike from run to run and alike to its model alone.
#include "RunProgram.h"
#include "TestSupport.h"
#include "output/DaneWyjsciowe.h"

#include <gtest/gtest.h>
#include <regex>

using namespace korvane;

namespace {

const std::string sampleProject = std::string(KORVANE_EXE_DIR) + "/Samples/Relief.prj";
const std::string samplePicture = std::string(KORVANE_EXE_DIR) + "/Samples/relief.bmp";

test::ProgramResult generate(const test::TempDir& data, std::vector<std::string> args) {
    args.insert(args.begin(), {"dataDir='" + data.path().string() + "'", "generate"});
    return test::runBuiltProgram("korvane3d-cli", args);
}

long long jsonInteger(const std::string& json, const std::string& key) {
    std::smatch m;
    if (!std::regex_search(json, m, std::regex("\"" + key + "\": (-?[0-9]+)"))) return -1;
    return std::stoll(m[1]);
}

std::string project(const std::string& model, const std::string& material) {
    return "[Model]\r\nplikModelu=" + model +
           "\r\nBMPwysokoscBialego=6\r\nBMPwysokoscCzarnego=0\r\nBMPx=40\r\nBMPy=30\r\n"
           "\r\n[Material]\r\n" +
           material + "\r\n[Proces]\r\nproces0=Lining\r\n";
}

const std::string block = "materialZrodlo=0\r\nmaterialRozmiarX=40\r\nmaterialRozmiarY=30\r\n"
                          "materialRozmiarZ=8\r\n";

} // namespace

TEST(CliGenerate, SampleProjectIsReadBackWithTheSameCounts) {
    test::TempDir data;
    auto r = generate(data, {"--project", sampleProject, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex("\"output\": \"([^\"]+)\""))) << r.out;
    const std::filesystem::path output = m[1].str();
    EXPECT_EQ(output, data.path() / "Output" / "Relief" / "Lining.out");
    EXPECT_NE(r.out.find("{\"operations\": [{\"nazwa\": \"Lining\", \"idTyp\": 3, \"output\": "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"seconds\": {\"rasterWait\": "), std::string::npos);
    const long long figures = jsonInteger(r.out, "figures");
    const long long points = jsonInteger(r.out, "points");
    ASSERT_GT(figures, 0);
    ASSERT_GT(points, 1000);

    tWy reader;
    reader.wczytajPlik(output, -1);
    EXPECT_EQ(static_cast<long long>(reader.ListaFigur.size()), figures);
    EXPECT_EQ(reader.iloscPunktow, points);
    EXPECT_EQ(reader.typOperacji, 3);
    // The paths stay on the relief: inside the 80 x 60 mm model, above its base.
    EXPECT_GE(reader.min.x, 0);
    EXPECT_LE(reader.max.x, 80.001);
    EXPECT_LE(reader.max.y, 60.001);
    EXPECT_GE(reader.min.z, 0);
    EXPECT_LE(reader.max.z, 6.001);

    // Without --json: one line per operation with the counts.
    auto text = generate(data, {"--project", sampleProject});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("Lining (type 3): " + std::to_string(figures) + " figures, " +
                            std::to_string(points) + " points"),
              std::string::npos)
        << text.out;
}

namespace {

struct OperationRun {
    std::filesystem::path output;
    long long figures = -1, points = -1;
};

// The output file and counts of operation `name` of type `type` in the JSON.
OperationRun operationIn(const std::string& json, const std::string& name, int type) {
    std::smatch m;
    const std::regex entry("\\{\"nazwa\": \"" + name + "\", \"idTyp\": " + std::to_string(type) +
                           ", \"output\": \"([^\"]+)\", \"noFigures\": false, \"figures\": "
                           "([0-9]+), \"points\": ([0-9]+),");
    if (!std::regex_search(json, m, entry)) return {};
    return {m[1].str(), std::stoll(m[2]), std::stoll(m[3])};
}

} // namespace

TEST(CliGenerate, EveryMillingTypeOnTheSampleModelComesOutAlikeRunAfterRun) {
    const std::string sample = std::string(KORVANE_EXE_DIR) + "/Samples/";
    const std::pair<const char*, int> operations[] = {{"Roughing", 0},  {"Layering", 1},
                                                      {"Surfacing", 2}, {"Mixed", 5},
                                                      {"Lining", 3},    {"Plot", 4}};
    test::TempDir runs[2];
    std::string json[2];
    for (int run = 0; run < 2; ++run) {
        const test::TempDir& data = runs[run];
        ASSERT_EQ(test::runBuiltProgram("korvane3d-cli",
                                        {"dataDir='" + data.path().string() + "'", "operations"})
                      .exitCode,
                  0);
        // The plot hatching follows a zigzag of the plot file over the model.
        test::writeFile(data / "zigzag.plt", "IN;SP1;PU200,200;PD3800,200,200,1600,3800,3000;PU;");
        const std::string lining = test::readFile(data / "Operations" / "Lining.opr");
        test::writeFile(data / "Operations" / "Plot.opr",
                        "[Operacja]\r\nnazwa=Plot\r\nidTyp=4\r\nnarzedzie=" +
                            lining.substr(lining.find("narzedzie=") + 10, 38) +
                            "\r\nplikNzw=" + (data / "zigzag.plt").string() +
                            "\r\nwarstwaSzer=1\r\ngornaGranicaZ=100\r\nszybkosc=1000\r\n");
        auto r = generate(data, {"--model", sample + "Sample.stl", "--operation", "Roughing",
                                 "Layering", "Surfacing", "Mixed", "Lining", "Plot", "--material",
                                 "100", "80", "25", "--json"});
        ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
        json[run] = r.out;
    }
    for (const auto& [name, type] : operations) {
        SCOPED_TRACE(name);
        const OperationRun first = operationIn(json[0], name, type);
        const OperationRun second = operationIn(json[1], name, type);
        ASSERT_GT(first.figures, 0) << json[0];
        EXPECT_EQ(second.figures, first.figures);
        EXPECT_EQ(second.points, first.points);
        tWy reader;
        reader.wczytajPlik(first.output, -1);
        EXPECT_EQ(reader.typOperacji, type);
        EXPECT_EQ(static_cast<long long>(reader.ListaFigur.size()), first.figures);
        EXPECT_EQ(reader.iloscPunktow, first.points);
        // Over the 100 x 80 mm model, never below its base.
        EXPECT_GE(reader.min.x, -0.001);
        EXPECT_GE(reader.min.y, -0.001);
        EXPECT_LE(reader.max.x, 100.001);
        EXPECT_LE(reader.max.y, 80.001);
        EXPECT_GE(reader.min.z, -0.001);
        // The same file, byte for byte, from both runs.
        EXPECT_TRUE(test::readFile(first.output) == test::readFile(second.output));
    }
}

TEST(CliGenerate, PreconditionFailuresWriteNothing) {
    test::TempDir data;
    ASSERT_EQ(
        test::runBuiltProgram("korvane3d-cli", {"dataDir='" + data.path().string() + "'", "info"})
            .exitCode,
        0);
    const auto outputs = data.path() / "Output" / "p";
    std::filesystem::create_directories(outputs);
    test::writeFile(outputs / "Lining.out", "earlier");
    auto unchanged = [&] {
        EXPECT_EQ(test::readFile(outputs / "Lining.out"), "earlier");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outputs),
                                std::filesystem::directory_iterator{}),
                  1);
    };

    test::writeFile(data / "p.prj", project(data.path().string() + "/missing.bmp", block));
    auto r = generate(data, {"--project", (data / "p.prj").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("File not found"), std::string::npos) << r.err;
    unchanged();

    // A project file that is there but holds no project says so, not that it is missing.
    test::writeFile(data / "p.prj", std::string("\x89PNG\r\n\x1a\n\0\0junk", 16));
    r = generate(data, {"--project", (data / "p.prj").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "generate: " + (data / "p.prj").string() +
                         " is not a project file: it holds neither a [Model] nor a [Material] "
                         "section\n");
    test::writeFile(data / "p.prj", "[Material]\r\nmaterialZrodlo=300\r\n");
    r = generate(data, {"--project", (data / "p.prj").string()});
    EXPECT_NE(r.err.find("is not a project file: its material source materialZrodlo=300 is not "
                         "one of the program's"),
              std::string::npos)
        << r.err;
    unchanged();

    test::writeFile(data / "p.prj", project(samplePicture, "materialZrodlo=1\r\n"));
    r = generate(data, {"--project", (data / "p.prj").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Describe the material block before building output files."),
              std::string::npos)
        << r.err;
    unchanged();

    test::writeFile(data / "Operations" / "Stray.opr",
                    "[Operacja]\r\nnazwa=Stray\r\nidTyp=3\r\nnarzedzie={no such tool}\r\n"
                    "warstwaSzer=1\r\ngornaGranicaZ=100\r\nszybkosc=1000\r\n");
    r = generate(data, {"--model", samplePicture, "--operation", "Stray"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("The tool library has no tool for the operation \xC2\xBBStray\xC2\xAB"),
              std::string::npos)
        << r.err;

    r = generate(data, {"--model", samplePicture, "--operation", "Lining_from_file"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("The plot file does not exist:"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(data.path() / "Output" / "Lining_from_file.out"));

    r = generate(data, {"--model", samplePicture});
    EXPECT_EQ(r.exitCode, 2);
    unchanged();
}

TEST(CliGenerate, ModelWithoutProjectAndAPlotFile) {
    test::TempDir data;
    ASSERT_EQ(
        test::runBuiltProgram("korvane3d-cli", {"dataDir='" + data.path().string() + "'", "info"})
            .exitCode,
        0);
    test::writeFile(data / "a.plt", "IN;SP1;PU0,0;PD800,0,800,800;PU;");
    test::writeFile(
        data / "Operations" / "Plot.opr",
        "[Operacja]\r\nnazwa=Plot\r\nidTyp=4\r\nnarzedzie=" +
            test::readFile(data / "Operations" / "Lining.opr")
                .substr(test::readFile(data / "Operations" / "Lining.opr").find("narzedzie=") + 10,
                        38) +
            "\r\nplikNzw=" + (data / "a.plt").string() +
            "\r\ngornaGranicaZ=100\r\nszybkosc=1000\r\n");
    auto r = generate(data, {"--model", samplePicture, "--operation", "Plot", "Lining",
                             "--material", "50", "50", "10", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_TRUE(std::filesystem::exists(data.path() / "Output" / "Plot.out"));
    EXPECT_TRUE(std::filesystem::exists(data.path() / "Output" / "Lining.out"));
    tWy reader;
    reader.wczytajPlik(data.path() / "Output" / "Plot.out", -1);
    ASSERT_EQ(reader.ListaFigur.size(), 1u);
    EXPECT_EQ(reader.typOperacji, 4);
    EXPECT_NEAR(reader.max.x, 20, 0.01);
    EXPECT_NEAR(reader.max.y, 20, 0.01);
}

TEST(CliGenerate, TriangleModelIsRasterisedWhileTheGenerationWaits) {
    test::TempDir data;
    const std::string pyramid = std::string(KORVANE_EXE_DIR) + "/Samples/Pyramid.stl";
    auto r = generate(data, {"--model", pyramid, "--operation", "Lining", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    tWy reader;
    reader.wczytajPlik(data.path() / "Output" / "Lining.out", -1);
    EXPECT_EQ(static_cast<long long>(reader.ListaFigur.size()), jsonInteger(r.out, "figures"));
    EXPECT_EQ(reader.iloscPunktow, jsonInteger(r.out, "points"));
    EXPECT_GT(reader.max.z, 1); // the paths climb the pyramid

    test::writeFile(data / "empty.stl", "solid nothing\nendsolid nothing\n");
    r = generate(data, {"--model", (data / "empty.stl").string(), "--operation", "Lining"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("The file holds no triangles"), std::string::npos) << r.err;
}

TEST(CliGenerate, APrintingOperationNeedsItsSwitchAndNoTool) {
    test::TempDir data;
    ASSERT_EQ(test::runBuiltProgram("korvane3d-cli",
                                    {"dataDir='" + data.path().string() + "'", "operations"})
                  .exitCode,
              0);
    // No tool: a print has none.
    test::writeFile(data / "Operations" / "Print.opr",
                    "[Operacja]\r\nnazwa=Print\r\nidTyp=6\r\nwarstwaSzer=0.4\r\n"
                    "warstwaGrubosc=1\r\nwarstwyGrupowanie=1\r\ntempRobocza=210\r\n"
                    "zuzycieMaterialu=100\r\niloscObrysow=1\r\n");
    const std::string pyramid = std::string(KORVANE_EXE_DIR) + "/Samples/Pyramid.stl";
    auto r = generate(data, {"--model", pyramid, "--operation", "Print"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("generate: the operation \"Print\" is of type 6 (3D printing (layers)), "
                         "which needs the start switch showPrinter3D before the command"),
              std::string::npos)
        << r.err;
    const auto output = data.path() / "Output" / "Print.out";
    EXPECT_FALSE(std::filesystem::exists(output));

    r = test::runBuiltProgram("korvane3d-cli",
                              {"dataDir='" + data.path().string() + "'", "showPrinter3D",
                               "generate", "--model", pyramid, "--operation", "Print", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_NE(r.out.find("\"noStrategy\": false}"), std::string::npos) << r.out;
    tWy reader;
    reader.wczytajPlik(output, -1);
    EXPECT_EQ(reader.typOperacji, 6);
    ASSERT_FALSE(reader.ListaFigur.empty());
    EXPECT_EQ(static_cast<long long>(reader.ListaFigur.size()), jsonInteger(r.out, "figures"));
    // Layers of 1 mm cut at 0.1, 1.1, ...; each path at its layer's height,
    // the layers in order, the lowest first.
    int lastLayer = 0;
    for (const auto& f : reader.ListaFigur) {
        ASSERT_GE(f->NrWarstwy, lastLayer);
        lastLayer = f->NrWarstwy;
        if (f->Przestawcza != 0) continue;
        for (const TrPkt3D& p : f->poz) EXPECT_NEAR(p.z, f->NrWarstwy + 0.1, 1e-3);
    }
    EXPECT_EQ(reader.ListaFigur.front()->NrWarstwy, 0);
    EXPECT_GT(lastLayer, 0);
}

TEST(CliGenerate, AnOperationThatMakesNoFiguresSaysSo) {
    test::TempDir data;
    // The outline type has no strategy: it never makes a figure, and says so.
    ASSERT_EQ(test::runBuiltProgram("korvane3d-cli",
                                    {"dataDir='" + data.path().string() + "'", "operations"})
                  .exitCode,
              0);
    test::writeFile(data / "Operations" / "Outline.opr",
                    "[Operacja]\r\nnazwa=Outline\r\nidTyp=7\r\n"
                    "narzedzie={7F0E47C7-6097-46F0-9034-F741CF02E737}\r\n");
    auto r = generate(data, {"--model", samplePicture, "--operation", "Outline", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_NE(r.out.find("{\"operations\": [{\"nazwa\": \"Outline\", \"idTyp\": 7, \"output\": "
                         "null, \"noFigures\": true, \"figures\": 0, \"points\": 0,"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"noStrategy\": true}"), std::string::npos) << r.out;
    r = generate(data, {"--model", samplePicture, "--operation", "Outline"});
    EXPECT_NE(r.out.find("Outline (type 7): 0 figures, 0 points, path 0.0 mm\n"
                         "  output: (none: no strategy builds operation type 7)\n"),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(std::filesystem::exists(data / "Output" / "Outline.out"));
}

// The start sequence opens the project named on the command line with its model
// while the command loads that model too: the two loads must not overlap, or a
// raster half rebuilt under a running generation changes its paths.
TEST(CliGenerate, TheSampleProjectGivesTheSameFilesRunAfterRunAndAsItsModel) {
    const std::string sample = std::string(KORVANE_EXE_DIR) + "/Samples/";
    const char* names[] = {"Roughing", "Layering", "Surfacing", "Mixed", "Lining"};
    test::TempDir once, twice, model;
    for (const test::TempDir* data : {&once, &twice, &model})
        ASSERT_EQ(test::runBuiltProgram("korvane3d-cli",
                                        {"dataDir='" + data->path().string() + "'", "operations"})
                      .exitCode,
                  0);
    auto files = [&](const std::filesystem::path& folder) {
        std::vector<std::string> bytes;
        for (const char* name : names)
            bytes.push_back(test::readFile(folder / (name + std::string(".out"))));
        return bytes;
    };
    auto byProject = [&](const test::TempDir& data) {
        const auto r = generate(data, {"--project", sample + "Sample.prj"});
        EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
        return files(data.path() / "Output" / "Sample");
    };
    const std::vector<std::string> first = byProject(once);
    // A second run in the same data folder starts with this project as the last one.
    const std::vector<std::string> second = byProject(twice), third = byProject(twice);
    // The same operations on the project's model and block, without the project.
    const auto r =
        generate(model, {"--model", sample + "Sample.stl", "--operation", "Roughing", "Layering",
                         "Surfacing", "Mixed", "Lining", "--material", "100", "80", "25"});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    const std::vector<std::string> alone = files(model.path() / "Output");
    for (size_t k = 0; k < first.size(); ++k) {
        SCOPED_TRACE(names[k]);
        EXPECT_GT(first[k].size(), 100u);
        EXPECT_TRUE(second[k] == first[k]);
        EXPECT_TRUE(third[k] == first[k]);
        EXPECT_TRUE(alone[k] == first[k]);
    }
}
