// korvane3d-cli info: the program, its folders, its language and every setting.
#include "Batch.h"
#include "Commands.h"
#include "Json.h"
#include "RecordFields.h"

#include "foundation/Interfejs.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "foundation/Version.h"

#include <cstdio>

namespace korvane::cli {

namespace {

int runInfo(const CommandArgs& args) {
    if (!startBatch()) return 1;
    std::vector<std::string> folders;
    for (const char* name : {"Tools", "Operations", "Projects"})
        if (std::filesystem::is_directory(dataFolder / name)) folders.push_back(name);
    const std::string outputFolder = (dataFolder / outputFolderName).string();

    if (args.has("--json")) {
        Json info;
        info["program"] = applicationTitle;
        info["version"] = versionText;
        info["exeFolder"] = exeFolder.string();
        info["dataFolder"] = dataFolder.string();
        info["folders"] = folders;
        info["outputFolder"] = outputFolder;
        info["language"] = texts->skrotJez;
        info["country"] = texts->country;
        info["rightToLeft"] = texts->arabski;
        info["surfacingFraction"] = surfacingFraction;
        addFields(info["settings"], settingsFields(settings));
        printJson(info);
        return 0;
    }
    std::printf("%s %s\n", applicationTitle, versionText);
    std::printf("program folder:  %s\n", exeFolder.string().c_str());
    std::printf("data folder:     %s\n", dataFolder.string().c_str());
    std::printf("output folder:   %s\n", outputFolder.c_str());
    std::printf("language:        %s (country %d)\n", texts->skrotJez.c_str(), texts->country);
    std::printf("surfacing:       %s\n", formatReal(surfacingFraction).c_str());
    std::printf("settings:\n");
    for (const auto& [name, value] : settingsFields(settings))
        std::printf("  %-22s %s\n", name.c_str(), fieldText(value).c_str());
    return 0;
}

const CommandRegistration info{
    "info", "info [--json]            the program, its folders and settings", runInfo};

} // namespace

} // namespace korvane::cli
