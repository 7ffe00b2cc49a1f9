// The feeds file beside a program's output file: its exact text, read back
// whole, and never taken for an output file it was not written for.
#include "output/ProgramFeedsFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

ProgramFeeds twoFigures() {
    ProgramFeeds feeds;
    FigureFeeds a;
    a.approachZ = 2;
    a.plungeFeed = 150;
    a.feeds = {0, 900, 900, 900, 600.5f};
    a.spindle = 12000;
    FigureFeeds b;
    b.approachZ = -0.25;
    b.feeds = {0, 100};
    b.spindle = 8000;
    feeds.figures = {a, b};
    return feeds;
}

} // namespace

TEST(ProgramFeedsFile, TextReadBackAndTheOutputItBelongsTo) {
    test::TempDir dir;
    const auto output = dir / "Pocket.out";
    test::writeFile(output, "Operation type=1\r\nObject0\r\n");
    const ProgramFeeds feeds = twoFigures();
    OutputHash hash;
    hash.add(test::readFile(output));
    writeFeedsFile(feedsFilePath(output), feeds, hash);
    EXPECT_EQ(feedsFilePath(output), dir / "Pocket.feeds");
    const std::string text = test::readFile(dir / "Pocket.feeds");
    // Runs of equal feeds on one line each.
    EXPECT_EQ(text.substr(text.find("Figure=")), "Figure=2.000 150.000 12000.000 5\r\n"
                                                 "900.000 3\r\n"
                                                 "600.500 1\r\n"
                                                 "Figure=-0.250 0.000 8000.000 2\r\n"
                                                 "100.000 1\r\n");
    EXPECT_EQ(text.rfind("Korvane3D program feeds\r\nOutput=", 0), 0u);

    const auto read = readFeedsFile(output);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->figures.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read->figures[i].feeds, feeds.figures[i].feeds);
        EXPECT_EQ(read->figures[i].approachZ, feeds.figures[i].approachZ);
        EXPECT_EQ(read->figures[i].plungeFeed, feeds.figures[i].plungeFeed);
        EXPECT_EQ(read->figures[i].spindle, feeds.figures[i].spindle);
    }

    // The output file written again by a build: its feeds file no longer applies.
    test::writeFile(output, "Operation type=1\r\nObject0\r\n0.000 0.000 0.000\r\n");
    EXPECT_FALSE(readFeedsFile(output));

    // A feeds file cut short or with a run past its figure is no feeds file.
    test::writeFile(output, "x");
    OutputHash x;
    x.add("x");
    writeFeedsFile(feedsFilePath(output), feeds, x);
    ASSERT_TRUE(readFeedsFile(output));
    const std::string whole = test::readFile(dir / "Pocket.feeds");
    test::writeFile(dir / "Pocket.feeds", whole.substr(0, whole.size() - 13));
    EXPECT_FALSE(readFeedsFile(output));
    std::string longer = whole;
    longer.replace(longer.find("900.000 3"), 9, "900.000 4");
    test::writeFile(dir / "Pocket.feeds", longer);
    EXPECT_FALSE(readFeedsFile(output));
    std::filesystem::remove(dir / "Pocket.feeds");
    EXPECT_FALSE(readFeedsFile(output));
}

TEST(ProgramFeedsFile, TheOperationAProgramRunsAs) {
    const TOperacjaDane op = programOperation("Pocket", twoFigures());
    EXPECT_EQ(op.nazwa, "Pocket");
    EXPECT_EQ(op.szybkosc, 900);
    EXPECT_EQ(op.posuwWiercenia, 150);
    EXPECT_EQ(op.obroty, 12000);
    EXPECT_EQ(op.warstwaGrubosc, 0);
    EXPECT_EQ(op.szybkoscPrzestawcza, 0);
}
