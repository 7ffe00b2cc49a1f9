// Appending to a text file in its own form, and switching it to UTF-8 when a
// text needs it.
#include "TestSupport.h"

#include "platform/CodePage.h"
#include "platform/TextAppend.h"

#include <gtest/gtest.h>
#include <set>
#include <thread>

using namespace korvane;

namespace {

class TextAppendTest : public ::testing::Test {
  protected:
    void SetUp() override { setAnsiCodePage("WINDOWS-1252"); }
    void TearDown() override { setAnsiCodePage("WINDOWS-1252"); }
    test::TempDir dir;
};

} // namespace

TEST_F(TextAppendTest, StaysInTheCodePageUntilATextNeedsUtf8) {
    const auto file = dir / "Raport.txt";
    ASSERT_TRUE(appendFileText(file, "Start\r\n"));
    ASSERT_TRUE(appendFileText(file, "caf\xC3\xA9\r\n"));
    EXPECT_EQ(test::readFile(file), "Start\r\ncaf\xE9\r\n");

    // ł is not in windows-1252: the lines so far are carried over into UTF-8.
    ASSERT_TRUE(appendFileText(file, "/home/micha\xC5\x82\r\n"));
    EXPECT_EQ(test::readFile(file), "\xEF\xBB\xBFStart\r\ncaf\xC3\xA9\r\n/home/micha\xC5\x82\r\n");
    ASSERT_TRUE(appendFileText(file, "\xC3\xA9t\xC3\xA9\r\n")); // UTF-8 from now on
    EXPECT_EQ(test::readFile(file),
              "\xEF\xBB\xBFStart\r\ncaf\xC3\xA9\r\n/home/micha\xC5\x82\r\n\xC3\xA9t\xC3\xA9\r\n");

    // A new file whose first text would read as the mark gets the mark.
    ASSERT_TRUE(appendFileText(dir / "b.txt", "\xC3\xAF\xC2\xBB\xC2\xBF!"));
    EXPECT_EQ(test::readFile(dir / "b.txt"), "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBF!");

    EXPECT_FALSE(appendFileText(dir / "missing" / "c.txt", "x"));
}

TEST_F(TextAppendTest, ConcurrentWritersLoseNoLineWhileTheFileChangesForm) {
    const auto file = dir / "Raport.txt";
    constexpr int writers = 4;
    constexpr int linesEach = 200;
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w)
        threads.emplace_back([&, w] {
            for (int i = 0; i < linesEach; ++i) {
                // One line of one writer needs UTF-8, half-way through.
                const std::string mark = w == 1 && i == linesEach / 2 ? "\xC5\x82" : "";
                EXPECT_TRUE(appendFileText(file, std::to_string(w) + ":" + std::to_string(i) +
                                                     mark + "\r\n"));
            }
        });
    for (auto& t : threads) t.join();

    // Every line once, whole; the order between writers is free.
    const std::string text = test::readFile(file);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    std::multiset<std::string> lines;
    for (std::size_t at = 3; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        lines.insert(text.substr(at, end - at));
        at = end + 2;
    }
    std::multiset<std::string> expected;
    for (int w = 0; w < writers; ++w)
        for (int i = 0; i < linesEach; ++i)
            expected.insert(std::to_string(w) + ":" + std::to_string(i));
    expected.erase("1:100");
    expected.insert("1:100\xC5\x82");
    EXPECT_EQ(lines, expected);
}
