#include "app/DataFolders.h"

#include "app/CommandLine.h"
#include "app/Interfejs.h"
#include "app/Messages.h"
#include "app/State.h"
#include "platform/Folders.h"

namespace korvane {

bool ensureFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return true;
    std::filesystem::create_directories(folder, ec);
    if (!ec && std::filesystem::is_directory(folder, ec)) return true;
    showMessage(txt("Other", "nieMoznaUtworzycKatalogu") + "\n\r" + folder.string(), true);
    return false;
}

bool chooseDataFolder() {
    if (auto dir = switchValue("dataDir"); dir && !dir->empty())
        dataFolder = std::filesystem::absolute(*dir).lexically_normal();
    else
        dataFolder = userDataHome() / "Vardimon" / applicationTitle;
    return ensureFolder(dataFolder);
}

bool createDataFolders() {
    return ensureFolder(dataFolder) && ensureFolder(dataFolder / "Projects");
}

bool createOutputFolder() {
    outputFolderName = "Output";
    if (!settings.plikProjektu.empty())
        outputFolderName /= std::filesystem::path(settings.plikProjektu).stem();
    return ensureFolder(dataFolder / outputFolderName);
}

} // namespace korvane
