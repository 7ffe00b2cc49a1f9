#pragma once

#include <filesystem>

namespace korvane {

// Holds the lock that keeps a second copy of the program from running: an
// exclusive flock on the file "Korvane" in the runtime folder, released when the
// object goes (or the process ends, however it ends).
class SingleInstance {
  public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy holds the lock, or the lock file cannot be opened.
    bool acquired() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

} // namespace korvane
