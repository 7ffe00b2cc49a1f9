#include "platform/TextAppend.h"

#include "platform/CodePage.h"
#include "platform/Utf8.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace korvane {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::optional<std::string> readAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
        if (n == 0) return bytes;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

bool lockExclusively(int fd) {
    while (::flock(fd, LOCK_EX) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool appendLocked(int fd, std::string_view utf8) {
    char head[byteOrderMark.size()];
    ssize_t got;
    while ((got = ::pread(fd, head, sizeof head, 0)) < 0)
        if (errno != EINTR) return false;
    const std::string_view start(head, static_cast<std::size_t>(got));
    if (start == byteOrderMark) return writeAll(fd, validUtf8(utf8));
    // An empty file whose first bytes would read as the mark needs the mark itself.
    if (auto ansi = toAnsi(utf8); ansi && !(start.empty() && ansi->starts_with(byteOrderMark)))
        return writeAll(fd, *ansi);
    auto old = readAll(fd);
    if (!old) return false;
    const std::string whole = std::string(byteOrderMark) + fromAnsi(*old) + validUtf8(utf8);
    return ::ftruncate(fd, 0) == 0 && writeAll(fd, whole);
}

} // namespace

bool appendFileText(const std::filesystem::path& file, std::string_view utf8) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = lockExclusively(fd) && appendLocked(fd, utf8);
    return ::close(fd) == 0 && ok;
}

} // namespace korvane
