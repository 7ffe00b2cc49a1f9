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

} // namespace

InputFile::InputFile(const std::filesystem::path& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) fail(path, errno);
    struct stat info {};
    const int error = ::fstat(fd_, &info) != 0 ? errno : !S_ISREG(info.st_mode) ? EISDIR : 0;
    if (error) {
        ::close(fd_);
        fail(path, error);
    }
    size_ = static_cast<std::size_t>(info.st_size);
}

InputFile::~InputFile() {
    ::close(fd_);
}

std::size_t InputFile::read(char* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd_, into + done, count - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            fail(path_, errno);
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

FileBytes::FileBytes(const std::filesystem::path& path) {
    InputFile file(path);
    // Read to the end even when the file grew since it was opened.
    std::size_t capacity = file.size() + 1;
    data_.reset(new char[capacity]);
    for (;;) {
        size_ += file.read(data_.get() + size_, capacity - size_);
        if (size_ < capacity) break;
        std::unique_ptr<char[]> bigger(new char[capacity * 2]);
        std::memcpy(bigger.get(), data_.get(), size_);
        data_ = std::move(bigger);
        capacity *= 2;
    }
}

} // namespace korvane
