#include "Batch.h"
#include "Commands.h"
#include "RecordFields.h"

#include "foundation/State.h"
#include "libraries/Projekt.h"

#include <cstdio>

namespace korvane::cli {

namespace {

int runProject(const CommandArgs& args) {
    std::string file;
    for (const auto& w : args.words)
        if (w != "--json") file = w;
    if (file.empty()) {
        std::fprintf(stderr, "project: a project file is needed\n");
        return 2;
    }
    if (!startBatch()) return 1;
    TProjekt shown;
    if (!shown.PobierzZPliku(file)) {
        const auto problem = projectFileProblem(file);
        std::fprintf(
            stderr, "project: %s\n",
            (problem ? file + " is not a project file: " + *problem : "no project file " + file)
                .c_str());
        return 1;
    }
    const TProjektDane& d = shown.d;
    if (args.has("--json")) {
        Json shownProject = Json::object();
        addFields(shownProject, projectFields(d));
        addFields(shownProject["material"], materialFields(d.material));
        shownProject["lProcesu"] = d.lProcesu;
        printJson(shownProject);
        return 0;
    }
    for (const auto& [name, value] : projectFields(d))
        std::printf("%-17s %s\n", name.c_str(), fieldText(value).c_str());
    for (const auto& [name, value] : materialFields(d.material))
        std::printf("material.%-8s %s\n", name.c_str(), fieldText(value).c_str());
    for (std::size_t i = 0; i < d.lProcesu.size(); ++i)
        std::printf("lProcesu[%zu]       %s\n", i, d.lProcesu[i].c_str());
    return 0;
}

const CommandRegistration projectCommand{
    "project", "project FILE [--json]     a project file (operations not in the library dropped)",
    runProject};

} // namespace

} // namespace korvane::cli
