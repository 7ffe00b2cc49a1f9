#include "LibrarySupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryFolders.h"
#include "libraries/LibraryState.h"

#include <gtest/gtest.h>

namespace korvane::test {

void openLibraries(const std::filesystem::path& data) {
    dataFolder = data;
    ASSERT_TRUE(createDataFolders());
    toolTypeNames = {txt("Tools", "txtFrezPalcowy"), txt("Tools", "txtFrezKulowy"),
                     txt("Tools", "txtFrezStozkowy")};
    toolLibrary = std::make_unique<TFrezy>();
    operationLibrary = std::make_unique<TOperacje>();
    project = std::make_unique<TProjekt>();
}

} // namespace korvane::test
