// korvane3d-cli generate: builds output path files as the build command does.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"

#include "app/BudowaniePlikowWy.h"
#include "app/ModelLoading.h"
#include "foundation/CommandLine.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "generation/RawDoPixWatek.h"
#include "import/BMPtoRAW.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"
#include "platform/MainLoop.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace korvane::cli {

namespace {

// How long a whole build, and the loading of a model, may take.
constexpr std::chrono::minutes buildDeadline{30};
constexpr std::chrono::minutes loadDeadline{10};

struct GenerateOptions {
    std::string projectFile;
    std::string modelFile;
    std::vector<std::string> operations;
    std::vector<double> material; // X Y Z
    std::optional<double> coating;
    bool json = false;
};

// Parses the command's words; a text saying what is wrong, or empty.
std::string parse(const CommandArgs& args, GenerateOptions& o) {
    const auto& w = args.words;
    for (size_t i = 0; i < w.size(); ++i) {
        auto value = [&]() -> std::optional<double> {
            if (i + 1 >= w.size()) return std::nullopt;
            return parseReal(w[++i]);
        };
        if (w[i] == "--json") {
            o.json = true;
        } else if (w[i] == "--project" && i + 1 < w.size()) {
            o.projectFile = w[++i];
        } else if (w[i] == "--model" && i + 1 < w.size()) {
            o.modelFile = w[++i];
        } else if (w[i] == "--operation") {
            while (i + 1 < w.size() && w[i + 1].rfind("--", 0) != 0) o.operations.push_back(w[++i]);
        } else if (w[i] == "--material") {
            for (int k = 0; k < 3; ++k) {
                const auto v = value();
                if (!v) return "--material needs three numbers X Y Z";
                o.material.push_back(*v);
            }
        } else if (w[i] == "--coating") {
            o.coating = value();
            if (!o.coating) return "--coating needs a thickness";
        } else {
            return "unknown argument " + w[i];
        }
    }
    if (o.projectFile.empty() == o.modelFile.empty())
        return "give either --project FILE or --model FILE --operation NAME...";
    if (!o.modelFile.empty() && o.operations.empty()) return "--model needs --operation NAME...";
    if (!o.projectFile.empty() && (!o.operations.empty() || !o.material.empty() || o.coating))
        return "--operation, --material and --coating go with --model";
    return {};
}

class BatchBuildView final : public BuildView {
  public:
    explicit BatchBuildView(bool progressLine) : progressLine_(progressLine) {}
    bool editMaterial() override { return false; }
    void saveProjectAs() override {}
    void setBuildCommandsEnabled(bool) override {}
    void showStatus(int, const std::string&) override {}
    void clearOutputs() override {}
    void generationStarted(int entry) override {
        name_ = entries ? (*entries)[size_t(entry)].oper.nazwa : std::string();
        steps_ = 0;
        showProgress();
    }
    void progressStep() override {
        ++steps_;
        showProgress();
    }
    void generationEnded(int entry, const GenerationResult& result) override {
        if (progressLine_) std::printf("\r\033[K");
        results.emplace_back((*entries)[size_t(entry)].oper, result);
    }
    void buildEnded() override {}
    void beep() override {}

    const std::vector<BuildEntry>* entries = nullptr;
    std::vector<std::pair<TOperacjaDane, GenerationResult>> results;

  private:
    void showProgress() {
        if (!progressLine_) return;
        std::printf("\r\033[K%s: %d/8", name_.c_str(), steps_);
        std::fflush(stdout);
    }
    bool progressLine_;
    std::string name_;
    int steps_ = 0;
};

void printResults(const BatchBuildView& view, bool json) {
    if (json) {
        Json operations = Json::array();
        for (const auto& [oper, r] : view.results) {
            Json& o = operations.emplace_back();
            o["nazwa"] = oper.nazwa;
            o["idTyp"] = oper.idTyp;
            o["output"] = r.written ? Json(r.file.string()) : Json();
            o["noFigures"] = r.noFigures;
            o["figures"] = r.figures;
            o["points"] = r.points;
            o["length"] = r.length;
            Json& seconds = o["seconds"] = Json::object();
            for (const auto& [phase, s] : r.seconds) seconds[phase] = s;
            o["noStrategy"] = r.noStrategy;
        }
        printJson(Json{{"operations", operations}});
        return;
    }
    for (const auto& [oper, r] : view.results) {
        std::printf("%s (type %d): %d figures, %lld points, path %.1f mm\n", oper.nazwa.c_str(),
                    oper.idTyp, r.figures, r.points, r.length);
        const std::string noStrategy =
            "(none: no strategy builds operation type " + std::to_string(oper.idTyp) + ")";
        std::printf("  output: %s\n", r.written      ? r.file.string().c_str()
                                      : r.noStrategy ? noStrategy.c_str()
                                      : r.noFigures  ? "(none: the operation made no figures)"
                                                     : "(none)");
        std::printf("  seconds:");
        for (const auto& [phase, s] : r.seconds) std::printf(" %s %.3f", phase.c_str(), s);
        std::printf("\n");
        if (!r.error.empty()) std::printf("  error: %s\n", r.error.c_str());
        if (r.aborted) std::printf("  aborted\n");
    }
}

int runGenerate(const CommandArgs& args) {
    GenerateOptions o;
    if (const std::string problem = parse(args, o); !problem.empty()) {
        std::fprintf(stderr, "generate: %s\n", problem.c_str());
        return 2;
    }
    if (!startBatch()) return 1;

    if (!o.projectFile.empty()) {
        if (!project->PobierzZPliku(o.projectFile)) {
            if (const auto problem = projectFileProblem(o.projectFile))
                std::fprintf(stderr, "generate: %s is not a project file: %s\n",
                             o.projectFile.c_str(), problem->c_str());
            else
                showMessage(txt("Universal", "txtPlikuBrak") + "\r\n" + o.projectFile, true);
            return 1;
        }
        settings.plikProjektu = std::filesystem::absolute(o.projectFile).string();
        // A model named relative to the project is looked for beside it.
        const std::filesystem::path model = project->d.plikModelu;
        std::error_code ec;
        if (model.is_relative() && !std::filesystem::exists(model, ec)) {
            project->d.plikModelu =
                (std::filesystem::path(settings.plikProjektu).parent_path() / model).string();
            project->kopia.plikModelu = project->d.plikModelu;
        }
    } else {
        project->Nowy();
        project->d.plikModelu = o.modelFile;
        // A picture becomes the relief the relief dialog proposes.
        const BitmapRelief relief;
        project->d.BMPwysBialego = relief.wysokoscDlaBialego;
        project->d.BMPwysCzarnego = relief.wysokoscDlaCzarnego;
        project->d.BMPx = relief.Szerokosc;
        project->d.BMPy = relief.wysokosc;
        settings.plikProjektu.clear();
    }
    if (!createOutputFolder()) return 1;
    TProjektDane& d = project->d;
    TRawDoPix raster;
    if (const ModelLoadOutcome loaded = loadProjectModel(d, raster, loadDeadline); !loaded.ok()) {
        if (loaded.result == ModelLoadResult::timedOut)
            std::fprintf(stderr, "generate: loading %s did not end within %d minutes\n",
                         d.plikModelu.c_str(), static_cast<int>(loadDeadline.count()));
        // The program's own message has given the reader's reason.
        return 1;
    }

    std::vector<BuildEntry> entries;
    if (o.modelFile.empty()) {
        for (const auto& oper : operationLibrary->Lista) {
            bool checked = false;
            for (const auto& name : d.lProcesu) checked = checked || sameText(name, oper->nazwa);
            entries.push_back({*oper, checked});
        }
    } else {
        for (const auto& name : o.operations) {
            TOperacjaDane oper;
            bool found = false;
            for (const auto& known : operationLibrary->Lista)
                if (!found && sameText(known->nazwa, name)) oper = *known, found = true;
            if (!found) {
                std::fprintf(stderr, "generate: the operation library has no operation \"%s\"\n",
                             name.c_str());
                return 1;
            }
            entries.push_back({oper, true});
            d.lProcesu.push_back(oper.nazwa);
        }
        TMaterial& m = d.material;
        if (o.coating) {
            m.zrodlo = materialCoating;
            m.gruboscPowloki = *o.coating;
        } else {
            m.zrodlo = materialBlock;
            const bool given = o.material.size() == 3;
            m.rozmX = given ? o.material[0] : modelSize.x;
            m.rozmY = given ? o.material[1] : modelSize.y;
            m.rozmZ = given ? o.material[2] : modelSize.z;
        }
        project->kopia = d; // a build without a project file has nothing to save
    }
    // A plot file that is not there would give an empty output: refuse first.
    for (const auto& e : entries) {
        std::error_code ec;
        if (e.checked && e.oper.idTyp == opPlotHatching &&
            !std::filesystem::is_regular_file(e.oper.plikPlt, ec)) {
            showMessage(txt("Operations_dialog", "PlikWeNieIstnieje") + "\r\n" + e.oper.plikPlt,
                        true);
            return 1;
        }
    }

    // A type the catalogue offers only with a start switch (3D printing) is
    // built only with that switch, as the window offers it.
    for (const auto& e : entries) {
        if (!e.checked) continue;
        for (const rTypOperacji& type : operationTypes)
            if (type.id == e.oper.idTyp && !type.parametr.empty() && !hasSwitch(type.parametr)) {
                std::fprintf(stderr,
                             "generate: the operation \"%s\" is of type %d (%s), which needs the "
                             "start switch %s before the command\n",
                             e.oper.nazwa.c_str(), type.id, type.str.c_str(),
                             type.parametr.c_str());
                return 1;
            }
    }

    BatchBuildView view(!o.json && isatty(STDOUT_FILENO));
    TBudowaniePlikowWy build(view);
    build.rasterBuilding = [&] { return raster.running(); };
    const std::vector<BuildEntry> shown = entries;
    view.entries = &shown;
    if (!build.build(std::move(entries))) return 1;
    if (!queueMainLoop().runUntil([&] { return !build.genProcWtoku; }, buildDeadline)) {
        std::fprintf(stderr, "generate: the build did not end within %lld minutes; aborted\n",
                     static_cast<long long>(buildDeadline.count()));
        build.abort();
        queueMainLoop().runUntil([&] { return !build.genProcWtoku; }, std::chrono::seconds(30));
        return 1;
    }
    printResults(view, o.json);
    for (const auto& [oper, r] : view.results)
        if (!r.error.empty() || r.aborted) return 1;
    return 0;
}

const CommandRegistration generate{
    "generate",
    "generate (--project FILE | --model FILE --operation NAME... [--material X Y Z | "
    "--coating T]) [--json]   output path files, as the build command makes them",
    runGenerate};

} // namespace

} // namespace korvane::cli
