#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

// Reading model files: an open file read in large blocks, or a whole file
// read into memory with one read.
namespace korvane {

class InputFile {
  public:
    // Opens a regular file for reading; throws std::runtime_error naming the
    // file when it cannot.
    explicit InputFile(const std::filesystem::path& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The size when opened.
    std::size_t size() const { return size_; }
    // Reads up to `count` bytes, fewer only at the end of the file; throws on
    // a read error.
    std::size_t read(char* into, std::size_t count);

  private:
    std::filesystem::path path_;
    int fd_ = -1;
    std::size_t size_ = 0;
};

class FileBytes {
  public:
    // Reads `path` to its end; throws std::runtime_error naming the file when
    // it cannot be opened or read.
    explicit FileBytes(const std::filesystem::path& path);
    std::string_view view() const { return {data_.get(), size_}; }

  private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
};

} // namespace korvane
