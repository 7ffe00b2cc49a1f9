#include "import/FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {

[[noreturn]] void fail(const std::filesystem::path& path, int error) {
    throw std::runtime_error(path.string() + ": " + std::strerror(error));
}

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

} // namespace

FileBytes::FileBytes(const std::filesystem::path& path) {
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) fail(path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) fail(path, errno);
    if (!S_ISREG(info.st_mode)) fail(path, EISDIR);
    // Read to the end even when the file grew since fstat.
    std::size_t capacity = static_cast<std::size_t>(info.st_size) + 1;
    data_.reset(new char[capacity]);
    for (;;) {
        if (size_ == capacity) {
            std::unique_ptr<char[]> bigger(new char[capacity * 2]);
            std::memcpy(bigger.get(), data_.get(), size_);
            data_ = std::move(bigger);
            capacity *= 2;
        }
        const ssize_t got = ::read(file.fd, data_.get() + size_, capacity - size_);
        if (got < 0) {
            if (errno == EINTR) continue;
            fail(path, errno);
        }
        if (got == 0) break;
        size_ += static_cast<std::size_t>(got);
    }
}

} // namespace korvane
