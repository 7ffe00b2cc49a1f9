#include "import/LineReader.h"

#include "import/TextLines.h"

#include <algorithm>
#include <cstring>

namespace korvane {

LineReader::LineReader(std::string_view text)
    : pos_(text.data()), end_(text.data() + text.size()) {}

LineReader::LineReader(InputFile& file, std::string_view start, std::size_t blockSize)
    : file_(&file), capacity_(std::max({blockSize, start.size(), std::size_t{1}})) {
    buffer_.reset(new char[capacity_]);
    std::copy(start.begin(), start.end(), buffer_.get());
    pos_ = buffer_.get();
    end_ = pos_ + start.size();
}

// Keeps the unread bytes, moved to the front of the buffer (grown when they
// fill it), and appends what the file holds next; false when it holds nothing.
bool LineReader::readMore() {
    if (!file_) return false;
    const std::size_t kept = static_cast<std::size_t>(end_ - pos_);
    if (kept == capacity_) {
        std::unique_ptr<char[]> bigger(new char[capacity_ * 2]);
        std::memcpy(bigger.get(), pos_, kept);
        buffer_ = std::move(bigger);
        capacity_ *= 2;
    } else if (kept > 0) {
        std::memmove(buffer_.get(), pos_, kept);
    }
    const std::size_t got = file_->read(buffer_.get() + kept, capacity_ - kept);
    pos_ = buffer_.get();
    end_ = pos_ + kept + got;
    return got > 0;
}

bool LineReader::next(std::string_view& line) {
    if (afterCr_) {
        if (pos_ == end_ && !readMore()) return false;
        if (*pos_ == '\n') ++pos_;
        afterCr_ = false;
    }
    std::size_t scanned = 0;
    for (;;) {
        const char* p = pos_ + scanned;
        while (p != end_ && *p != '\n' && *p != '\r') ++p;
        if (p != end_) {
            line = trimControl(std::string_view(pos_, static_cast<std::size_t>(p - pos_)));
            afterCr_ = *p == '\r';
            pos_ = p + 1;
            return true;
        }
        scanned = static_cast<std::size_t>(p - pos_);
        if (!readMore()) break;
    }
    if (pos_ == end_) return false;
    line = trimControl(std::string_view(pos_, static_cast<std::size_t>(end_ - pos_)));
    pos_ = end_;
    return true;
}

} // namespace korvane
