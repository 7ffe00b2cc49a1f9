#include "libraries/LibraryFile.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/TextCompare.h"

#include <algorithm>

namespace korvane {

bool deleteLibraryFile(const std::filesystem::path& folder, const std::string& fileName) {
    const std::filesystem::path file = folder / fileName;
    if (fileName.find_first_of("/\\") != std::string::npos) {
        showMessage(txt("Other", "BrakPlikuDoUsuniecia") + "\n\r" + file.string(), true);
        return false;
    }
    return deleteFileReported(file);
}

std::vector<std::filesystem::path> libraryFiles(const std::filesystem::path& folder,
                                                const std::string& extension) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) &&
            sameText(entry.path().extension().string(), "." + extension))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace korvane
