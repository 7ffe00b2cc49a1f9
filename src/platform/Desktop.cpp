#include "platform/Desktop.h"

#include "platform/Process.h"

#include <cstdio>
#include <fstream>
#include <sys/utsname.h>
#include <unistd.h>

namespace korvane {

using namespace std::chrono_literals;

bool openDocument(const std::string& fileOrAddress) {
    // xdg-open hands the file over and returns; a viewer that keeps it waiting
    // longer has started, which counts as success, and is left running.
    ChildProcess opener({"xdg-open", fileOrAddress}, ChildProcess::Output::discard);
    if (!opener.started()) return false;
    if (const auto code = opener.wait(5s)) return *code == 0;
    opener.release();
    return true;
}

bool showDesktopNotification(const std::string& title, const std::string& text) {
    return runProgram({"notify-send", "--app-name=Korvane3D", title, text}, 5s).exitCode == 0;
}

std::string computerName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string osDescription() {
    std::string product = "Linux";
    std::ifstream release("/etc/os-release");
    for (std::string line; std::getline(release, line);) {
        if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
        product = line.substr(12);
        if (product.size() >= 2 && product.front() == '"' && product.back() == '"')
            product = product.substr(1, product.size() - 2);
    }
    utsname u{};
    uname(&u);
    std::string kernel = u.release;
    int major = 0, minor = 0;
    std::sscanf(u.release, "%d.%d", &major, &minor);
    return product + " [ver. " + std::to_string(major) + "." + std::to_string(minor) + "]" +
           "\r\n" + u.sysname + " " + kernel;
}

} // namespace korvane
