#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace korvane {

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    const char* at = bytes.data();
    size_t left = bytes.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, at, left);
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        at += n;
        left -= static_cast<size_t>(n);
    }
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

} // namespace korvane
