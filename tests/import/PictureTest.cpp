#include "TestSupport.h"

#include "import/Picture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using namespace korvane;

namespace {

const std::filesystem::path samples = std::filesystem::path(KORVANE_SOURCE_DIR) / "samples";

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// The offset of the frame header (a baseline or progressive SOF marker).
std::size_t frameHeader(const std::string& jpeg) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
            (static_cast<unsigned char>(jpeg[i + 1]) == 0xC0 ||
             static_cast<unsigned char>(jpeg[i + 1]) == 0xC2))
            return i;
    return std::string::npos;
}

} // namespace

// A JPEG is taken only when it holds every pixel it declares, and only up to
// the largest picture a relief needs: a cut file is not filled with grey, a
// header of 30 000 x 30 000 is refused before its memory is taken.
TEST(Picture, TruncatedOrHugeJpegIsRefused) {
    test::TempDir dir;
    const std::string whole = bytesOf(samples / "relief.jpg");
    const auto picture = loadPicture(samples / "relief.jpg");
    ASSERT_TRUE(picture);

    write(dir / "cut.jpg", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(loadPicture(dir / "cut.jpg"));

    std::string huge = whole;
    const std::size_t sof = frameHeader(huge);
    ASSERT_NE(sof, std::string::npos);
    for (std::size_t at : {sof + 5, sof + 7}) { // height, then width: 30 000 = 0x7530
        huge[at] = static_cast<char>(0x75);
        huge[at + 1] = static_cast<char>(0x30);
    }
    write(dir / "huge.jpg", huge);
    EXPECT_FALSE(loadPicture(dir / "huge.jpg"));

    // The same picture declared 2 000 rows taller than its data.
    std::string taller = whole;
    const int height = picture->height + 2000;
    taller[sof + 5] = static_cast<char>(height >> 8);
    taller[sof + 6] = static_cast<char>(height & 0xFF);
    write(dir / "taller.jpg", taller);
    EXPECT_FALSE(loadPicture(dir / "taller.jpg"));
}
