#include "libraries/LibraryFile.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"

namespace korvane {

bool deleteLibraryFile(const std::filesystem::path& folder, const std::string& fileName) {
    const std::filesystem::path file = folder / fileName;
    if (fileName.find_first_of("/\\") != std::string::npos) {
        showMessage(txt("Other", "BrakPlikuDoUsuniecia") + "\n\r" + file.string(), true);
        return false;
    }
    return deleteFileReported(file);
}

} // namespace korvane
