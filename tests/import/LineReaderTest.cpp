// The line reader: line ends of every kind, trimming, and the same lines from
// memory and from a file read in blocks of any size, including blocks that
// split a CR LF pair or hold less than one line.
#include "import/LineReader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvane;

namespace {

std::vector<std::string> readAll(LineReader& reader) {
    std::vector<std::string> out;
    std::string_view line;
    while (reader.next(line)) out.emplace_back(line);
    // Past the end it stays there.
    EXPECT_FALSE(reader.next(line));
    return out;
}

struct Case {
    std::string text;
    std::vector<std::string> lines;
};

const std::vector<Case> cases = {
    {"", {}},
    {"\n", {""}},
    {"one", {"one"}},
    {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
    {"a\r\n", {"a"}},
    {"a\r", {"a"}},
    {"a\n\n", {"a", ""}},
    {"\r\r\n\n\r", {"", "", "", ""}},
    {"\n\r", {"", ""}},
    {"  x y \t\r\n\x01\x1f z\x7f \x02\n\xff\r\n", {"x y", "z\x7f", "\xff"}},
    {std::string("nul\0inside\n", 11), {std::string("nul\0inside", 10)}},
    {"short\r\n" + std::string(40, 'L') + "\r\n\r\nend",
     {"short", std::string(40, 'L'), "", "end"}},
};

} // namespace

TEST(LineReader, LinesOfTextInMemory) {
    for (const Case& c : cases) {
        LineReader reader(c.text);
        EXPECT_EQ(readAll(reader), c.lines) << c.text;
    }
}

TEST(LineReader, FileInBlocksOfAnySizeGivesTheSameLines) {
    test::TempDir dir;
    for (const Case& c : cases) {
        test::writeFile(dir / "lines.txt", c.text);
        // Every split of the text between the bytes already read and the rest
        // of the file, in blocks from one byte up.
        for (std::size_t start = 0; start <= c.text.size(); ++start) {
            for (std::size_t block : {1, 2, 3, 7, 64}) {
                InputFile file(dir / "lines.txt");
                std::string head(start, '\0');
                ASSERT_EQ(file.read(head.data(), start), start);
                LineReader reader(file, head, block);
                EXPECT_EQ(readAll(reader), c.lines)
                    << c.text << " start " << start << " block " << block;
            }
        }
    }
}
