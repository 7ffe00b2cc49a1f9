#include "libraries/LibraryFolders.h"

#include "foundation/DataFolders.h"
#include "foundation/State.h"
#include "libraries/Frezy.h"
#include "libraries/Operacje.h"

#include <filesystem>

namespace korvane {

namespace {

// Creates a library folder that does not exist yet and fills it with the
// default library; an existing folder is left as it is, even when empty.
bool createLibraryFolder(const std::filesystem::path& folder,
                         bool (*writeDefaults)(const std::filesystem::path&)) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return true;
    if (!ensureFolder(folder)) return false;
    writeDefaults(folder);
    return true;
}

} // namespace

bool createDataFolders() {
    return ensureFolder(dataFolder) && createLibraryFolder(toolsFolder(), writeDefaultTools) &&
           createLibraryFolder(operationsFolder(), writeDefaultOperations) &&
           ensureFolder(dataFolder / "Projects");
}

} // namespace korvane
