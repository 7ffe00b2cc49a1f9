#pragma once

// For the readers that take a file name: each input is written to a file in a
// folder of this process, in memory (/dev/shm) where there is one, otherwise in
// the temporary folder; removed at exit.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace korvane::fuzz {

class FuzzFolder {
  public:
    FuzzFolder() {
        std::error_code ec;
        const std::filesystem::path memory = "/dev/shm";
        path_ =
            (std::filesystem::is_directory(memory, ec) ? memory
                                                       : std::filesystem::temp_directory_path()) /
            ("korvane-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
    }
    ~FuzzFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// `name` in the folder, holding `size` bytes of `data`.
inline std::filesystem::path inputFile(const std::string& name, const std::uint8_t* data,
                                       std::size_t size) {
    static const FuzzFolder folder;
    const std::filesystem::path file = folder / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return file;
}

} // namespace korvane::fuzz
