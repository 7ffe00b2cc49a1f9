#include "platform/Folders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace korvane {

std::filesystem::path programFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return exe.parent_path();
}

std::filesystem::path userDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : "/tmp";
    }
    return std::filesystem::path(home) / ".local" / "share";
}

std::filesystem::path runtimeFolder() {
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg) return xdg;
    return "/tmp";
}

} // namespace korvane
