#pragma once

#include <filesystem>

namespace korvane::test {

// The libraries as the program opens them over the data folder `data`: its
// folders made, the tool type names in the loaded language, empty tool and
// operation libraries and a new project. Fails the test when a folder cannot
// be made.
void openLibraries(const std::filesystem::path& data);

} // namespace korvane::test
