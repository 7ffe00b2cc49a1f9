#pragma once

#include <filesystem>

namespace korvane {

// The folder of the running program file.
std::filesystem::path programFolder();

// $XDG_DATA_HOME (default ~/.local/share): the per-user application data.
std::filesystem::path userDataHome();

// $XDG_RUNTIME_DIR, else /tmp: where the single-instance lock lives.
std::filesystem::path runtimeFolder();

} // namespace korvane
