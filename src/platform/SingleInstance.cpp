#include "platform/SingleInstance.h"

#include "platform/Folders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace korvane {

SingleInstance::SingleInstance() {
    const auto path = runtimeFolder() / "Korvane";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::close(fd_);
}

} // namespace korvane
