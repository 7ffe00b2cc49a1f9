#include "Batch.h"
#include "Commands.h"
#include "Json.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "foundation/Version.h"

#include <algorithm>
#include <cstdio>

namespace korvane::cli {

namespace {

int runInfo(const CommandArgs& args) {
    if (!startBatch()) return 1;
    const auto ip = settings.adresIP;
    const std::string address = std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." +
                                std::to_string(ip[2]) + "." + std::to_string(ip[3]);
    std::vector<std::string> folders;
    for (const char* name : {"Tools", "Operations", "Projects"})
        if (std::filesystem::is_directory(dataFolder / name)) folders.push_back(name);

    if (args.has("--json")) {
        JsonWriter j;
        j.beginObject()
            .string("program", applicationTitle)
            .string("version", versionText)
            .string("exeFolder", exeFolder.string())
            .string("dataFolder", dataFolder.string())
            .beginArray("folders");
        for (const auto& f : folders) j.string({}, f);
        j.endArray()
            .string("outputFolder", (dataFolder / outputFolderName).string())
            .string("language", texts->skrotJez)
            .integer("country", texts->country)
            .boolean("rightToLeft", texts->arabski)
            .beginObject("settings")
            .integer("jednostkaMiary", settings.jednostkaMiary)
            .string("plikProjektu", settings.plikProjektu)
            .number("rozdzielczosc", settings.rozdzielczosc)
            .integer("modelKolor", settings.modelKolor)
            .integer("modelSposobKreslenia", settings.modelSposobKreslenia)
            .number("modelPolysk", settings.modelPolysk)
            .boolean("ukladWsp", settings.ukladWsp)
            .number("plytkaPomGrubosc", settings.plytkaPomGrubosc)
            .integer("plytkaPomPolozenie", settings.plytkaPomPolozenie)
            .boolean("powiadomKoniecGenWy", settings.powiadomKoniecGenWy)
            .boolean("powiadomKoniecObrobki", settings.powiadomKoniecObrobki)
            .string("netSendOdbiorca", settings.netSendOdbiorca)
            .boolean("sprzegNawigacyjny", settings.sprzegNawigacyjny)
            .string("adresIP", address)
            .boolean("ethernetConnection", settings.ethernetConnection)
            .boolean("printer3D", settings.printer3D)
            .endObject()
            .endObject();
        std::printf("%s\n", j.text().c_str());
        return 0;
    }
    std::printf("%s %s\n", applicationTitle, versionText);
    std::printf("program folder:  %s\n", exeFolder.string().c_str());
    std::printf("data folder:     %s\n", dataFolder.string().c_str());
    std::printf("output folder:   %s\n", (dataFolder / outputFolderName).string().c_str());
    std::printf("language:        %s (country %d)\n", texts->skrotJez.c_str(), texts->country);
    std::printf("resolution:      %g cells/mm\n", settings.rozdzielczosc);
    std::printf(
        "unit:            %s\n",
        unitTable[static_cast<size_t>(std::clamp(settings.jednostkaMiary, 0, 2))].opis.c_str());
    std::printf("project:         %s\n",
                settings.plikProjektu.empty() ? "(none)" : settings.plikProjektu.c_str());
    std::printf("machine link:    %s\n",
                settings.ethernetConnection ? ("Ethernet " + address).c_str() : "USB");
    return 0;
}

const CommandRegistration info{
    "info", "info [--json]            the program, its folders and settings", runInfo};

} // namespace

} // namespace korvane::cli
