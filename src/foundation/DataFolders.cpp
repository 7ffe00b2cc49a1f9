#include "foundation/DataFolders.h"

#include "foundation/CommandLine.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
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

bool createOutputFolder() {
    outputFolderName = "Output";
    if (!settings.plikProjektu.empty()) {
        // The file's name without folder and extension; a path written on Windows
        // separates its folders with backslashes.
        const std::string& path = settings.plikProjektu;
        const size_t slash = path.find_last_of("/\\");
        outputFolderName /=
            std::filesystem::path(slash == std::string::npos ? path : path.substr(slash + 1))
                .stem();
    }
    return ensureFolder(dataFolder / outputFolderName);
}

} // namespace korvane
