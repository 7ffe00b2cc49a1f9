// Command-line options and the choice of the interface language.
#include "TestSupport.h"

#include "foundation/CommandLine.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <gtest/gtest.h>

using namespace korvane;

class CommandLineTest : public ::testing::Test {
  protected:
    void args(std::vector<std::string> a) { test::resetState(ui, std::move(a)); }
    test::RecordingUserInterface ui;
};

TEST_F(CommandLineTest, SwitchesMatchWholeArgumentsIgnoringCase) {
    args({"LOGGERON", "touchpanel", "x.prj"});
    EXPECT_TRUE(hasSwitch("loggerOn"));
    EXPECT_TRUE(hasSwitch("touchPanel"));
    EXPECT_FALSE(hasSwitch("testy"));
    EXPECT_FALSE(hasSwitch("x"));
}

TEST_F(CommandLineTest, OptionValuesWithAndWithoutApostrophes) {
    args({"datadir='/srv/k 3d'", "machinePorts=10000,10080", "other/dataDir=/x"});
    EXPECT_EQ(switchValue("dataDir"), "/srv/k 3d");
    EXPECT_EQ(switchValue("MACHINEPORTS"), "10000,10080");
    EXPECT_EQ(switchValue("SurfacingPercent"), std::nullopt);
    args({"dataDir="});
    EXPECT_EQ(switchValue("dataDir"), "");
}

TEST_F(CommandLineTest, SurfacingPercentIsClampedAndReadWithEitherSeparator) {
    auto fraction = [&](std::string arg) {
        args({arg});
        return surfacingFractionOption();
    };
    EXPECT_DOUBLE_EQ(*fraction("SurfacingPercent='9'"), 0.05);
    EXPECT_DOUBLE_EQ(*fraction("SurfacingPercent='0.5'"), 0.01);
    EXPECT_DOUBLE_EQ(*fraction("SurfacingPercent='2,5'"), 0.025);
    EXPECT_DOUBLE_EQ(*fraction("surfacingpercent='2.5'"), 0.025);
    EXPECT_EQ(fraction("SurfacingPercent='abc'"), std::nullopt);
    EXPECT_EQ(fraction("SurfacingPercent='nan'"), std::nullopt);
    EXPECT_EQ(fraction("SurfacingPercent"), std::nullopt);
}

TEST_F(CommandLineTest, NinetyFiveOnlyAsFirstOrSecondArgument) {
    args({"95"});
    EXPECT_TRUE(noUsbSwitch());
    args({"PL", "95"});
    EXPECT_TRUE(noUsbSwitch());
    args({"PL", "US", "95"});
    EXPECT_FALSE(noUsbSwitch());
}

TEST_F(CommandLineTest, LanguageFromSystemCountryThenSwitchesInTableOrder) {
    args({});
    EXPECT_EQ(chooseLanguage(48).skrotJez, "PL");
    EXPECT_EQ(chooseLanguage(421).skrotJez, "SK");
    auto de = chooseLanguage(49);
    EXPECT_EQ(de.skrotJez, "US");
    EXPECT_EQ(de.country, 49);

    args({"FR", "PL"}); // order on the command line does not matter
    EXPECT_EQ(chooseLanguage(1).skrotJez, "FR");
    args({"espanol"});
    EXPECT_EQ(chooseLanguage(48).skrotJez, "ES");
    EXPECT_EQ(chooseLanguage(48).country, 34);
    args({"TW"});
    EXPECT_EQ(chooseLanguage(48).skrotJez, "US");
    EXPECT_EQ(chooseLanguage(48).country, 886);
    args({"SA", "ITALY"});
    EXPECT_EQ(chooseLanguage(1).skrotJez, "SA");
    EXPECT_EQ(chooseLanguage(1).country, 966);
}
