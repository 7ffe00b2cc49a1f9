#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

// A whole file read into memory with one read.
namespace korvane {

class FileBytes {
  public:
    // Reads `path`; throws std::runtime_error naming the file when it cannot
    // be opened or read.
    explicit FileBytes(const std::filesystem::path& path);
    std::string_view view() const { return {data_.get(), size_}; }

  private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
};

} // namespace korvane
