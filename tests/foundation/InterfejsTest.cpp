// The text catalogue: loading and checking language files, lookups, tables.
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "platform/Locale.h"

#include <gtest/gtest.h>

using namespace korvane;
using test::writeFile;

namespace {

const std::string goodFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<interface name="KORVANE3D" version="1.0">
  <Universal><txtWer str="ver. "/></Universal>
  <Operations><t id="0" str="Roughing" parametr=""/><t id="6" str="Print" parametr="showPrinter3D"/></Operations>
  <Measures><a str="mm" opis="millimetre"/><b str="in" opis="inch"/><c str="ft" opis="foot"/><d str="x" opis="extra"/></Measures>
</interface>)";

} // namespace

class InterfejsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        exeFolder = dir.path();
        std::filesystem::create_directories(dir / "Language");
    }
    void language(const std::string& code, const std::string& content) {
        writeFile(dir / "Language" / ("Korvane3D_" + code + ".xml"), content);
    }
    std::unique_ptr<tInterfejs> load(std::vector<std::string> switches) {
        programArguments = std::move(switches);
        return std::make_unique<tInterfejs>(1);
    }
    test::RecordingUserInterface ui;
    test::TempDir dir;
};

TEST_F(InterfejsTest, LoadsTheChosenLanguageAndAnswersLookups) {
    language("FR", goodFile);
    auto t = load({"FR"});
    EXPECT_TRUE(t->langOk);
    EXPECT_EQ(t->skrotJez, "FR");
    EXPECT_EQ(t->dajTxt("Universal", "txtWer"), "ver. ");
    EXPECT_EQ(t->dajTxt("Universal", "missing"), "error");
    EXPECT_EQ(t->dajTxt("Nowhere", "txtWer"), "error");
    EXPECT_EQ(t->dajTxt("Operations", "t"), "Roughing");
    EXPECT_TRUE(ui.messages.empty());

    t->loadOperationTypes();
    ASSERT_EQ(operationTypes.size(), 2u);
    EXPECT_EQ(operationTypes[1].id, 6);
    EXPECT_EQ(operationTypes[1].str, "Print");
    EXPECT_EQ(operationTypes[1].parametr, "showPrinter3D");
    t->loadUnits();
    EXPECT_EQ(unitTable[2].skrot, "ft");
    EXPECT_EQ(unitTable[2].opis, "foot");
}

TEST_F(InterfejsTest, MissingLanguageFallsBackToUs) {
    language("US", goodFile);
    auto t = load({"SA"});
    EXPECT_TRUE(t->langOk);
    EXPECT_EQ(t->skrotJez, "SA");
    EXPECT_EQ(t->country, 966);
    EXPECT_EQ(t->fileName.filename(), "Korvane3D_US.xml");
}

TEST_F(InterfejsTest, EveryBrokenFileIsRefusedWithItsMessage) {
    struct Case {
        std::string content;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"", "Corruption detected in file: \r\n"},
        {"<interface name='Korvane3D' version='1.0'><a></interface>",
         "Corruption detected in file: \r\n"},
        {"<interfejs name='Korvane3D' version='1.0'/>", "Invalid file structure: \r\n"},
        {"<interface version='1.0'/>", "Invalid file structure: \r\n"},
        {"<interface name='Korvane3D'/>", "Invalid file structure: \r\n"},
        {"<interface name='Other' version='1.0'/>", "Incompatibile file version: \r\n"},
        {"<interface name='Korvane3D' version='0.9'/>", "Incompatibile file version: \r\n"},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        language("US", c.content);
        auto t = load({});
        EXPECT_FALSE(t->langOk) << c.content;
        ASSERT_EQ(ui.messages.size(), 1u) << c.content;
        EXPECT_EQ(ui.messages[0].text, c.message + t->fileName.string()) << c.content;
        EXPECT_EQ(ui.messages[0].caption, "Configuration error");
        EXPECT_TRUE(ui.messages[0].error);
        EXPECT_EQ(t->dajTxt("Universal", "txtWer"), "error");
    }

    std::filesystem::remove(dir / "Language" / "Korvane3D_US.xml");
    auto t = load({"PL"});
    EXPECT_FALSE(t->langOk);
    EXPECT_EQ(ui.messages.back().text, "Application could't work without file: \r\n" +
                                           (dir / "Language" / "Korvane3D_US.xml").string());
}

TEST(Locale, TerritoryGivesTheTelephoneCode) {
    EXPECT_EQ(countryCodeOfLocale("pl_PL.UTF-8"), 48);
    EXPECT_EQ(countryCodeOfLocale("ru_RU"), 7);
    EXPECT_EQ(countryCodeOfLocale("fr_FR@euro"), 33);
    EXPECT_EQ(countryCodeOfLocale("zh_CN.GBK"), 86);
    EXPECT_EQ(countryCodeOfLocale("sk_SK.UTF-8"), 421);
    EXPECT_EQ(countryCodeOfLocale("de_DE.UTF-8"), 1);
    EXPECT_EQ(countryCodeOfLocale("C"), 1);
}
