// Code pages of the interface languages and the form of texts in files: the
// code page when every character is there, else the byte-order mark and UTF-8.
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class CodePageTest : public ::testing::Test {
  protected:
    void SetUp() override { setAnsiCodePage("WINDOWS-1252"); }
    void TearDown() override { setAnsiCodePage("WINDOWS-1252"); }
};

} // namespace

TEST_F(CodePageTest, EachLanguageHasItsCodePage) {
    for (const char* language : {"PL", "SK"})
        EXPECT_EQ(codePageForLanguage(language), "WINDOWS-1250");
    EXPECT_EQ(codePageForLanguage("RU"), "WINDOWS-1251");
    EXPECT_EQ(codePageForLanguage("SA"), "WINDOWS-1256");
    EXPECT_EQ(codePageForLanguage("CN"), "GBK");
    for (const char* language : {"US", "IT", "ES", "FR", ""})
        EXPECT_EQ(codePageForLanguage(language), "WINDOWS-1252");
}

TEST_F(CodePageTest, ConvertsBothWaysAndRefusesWhatTheCodePageLacks) {
    EXPECT_EQ(toCodePage("\xC5\x81\xC5\x82", "WINDOWS-1250"), "\xA3\xB3");        // Łł
    EXPECT_EQ(toCodePage("\xD0\xB6", "WINDOWS-1251"), "\xE6");                    // ж
    EXPECT_EQ(toCodePage("\xD8\xA8", "WINDOWS-1256"), "\xC8");                    // ب
    EXPECT_EQ(toCodePage("\xE4\xB8\xAD\xE6\x96\x87", "GBK"), "\xD6\xD0\xCE\xC4"); // 中文
    EXPECT_EQ(toCodePage("caf\xC3\xA9", "WINDOWS-1252"), "caf\xE9");
    EXPECT_EQ(toCodePage("\xC5\x82", "WINDOWS-1252"), std::nullopt);
    EXPECT_EQ(toCodePage("\xE4\xB8\xAD", "WINDOWS-1250"), std::nullopt);
    EXPECT_EQ(toCodePage("a\xFF", "WINDOWS-1252"), std::nullopt); // not UTF-8

    EXPECT_EQ(fromCodePage("\xA3\xB3", "WINDOWS-1250"), "\xC5\x81\xC5\x82");
    EXPECT_EQ(fromCodePage("\xD6\xD0\xCE\xC4", "GBK"), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(fromCodePage("a\x81", "WINDOWS-1252"), "a\xEF\xBF\xBD"); // 0x81 is unassigned

    setAnsiCodePage("WINDOWS-1250");
    EXPECT_EQ(toAnsi("\xC5\x82"), "\xB3");
    EXPECT_EQ(fromAnsi("\xB3"), "\xC5\x82");
}

TEST_F(CodePageTest, FileTextIsInTheCodePageUnlessACharacterIsMissing) {
    EXPECT_EQ(toFileText("Fraise \xC3\xA0 2 dents"), "Fraise \xE0 2 dents");
    EXPECT_EQ(toFileText("/home/micha\xC5\x82/part.stl"),
              "\xEF\xBB\xBF/home/micha\xC5\x82/part.stl");
    EXPECT_EQ(toFileText(""), "");
    // "ï»¿" in windows-1252 is the mark's bytes: written as UTF-8 to read back as it was.
    EXPECT_EQ(toFileText("\xC3\xAF\xC2\xBB\xC2\xBFx"), "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFx");
    EXPECT_EQ(toFileText("a\xFF"), "\xEF\xBB\xBF"
                                   "a\xEF\xBF\xBD");

    EXPECT_EQ(fromFileText("Fraise \xE0 2 dents"), "Fraise \xC3\xA0 2 dents");
    EXPECT_EQ(fromFileText("\xEF\xBB\xBF/home/micha\xC5\x82/part.stl"),
              "/home/micha\xC5\x82/part.stl");
    EXPECT_EQ(fromFileText("\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFx"), "\xC3\xAF\xC2\xBB\xC2\xBFx");
    EXPECT_EQ(fromFileText("\xEF\xBB\xBF"
                           "a\xC5"),
              "a\xEF\xBF\xBD");
    EXPECT_EQ(fromFileText("\xEF\xBB"), "\xC3\xAF\xC2\xBB"); // two bytes are no mark

    setAnsiCodePage("WINDOWS-1250");
    EXPECT_EQ(toFileText("/home/micha\xC5\x82/part.stl"), "/home/micha\xB3/part.stl");
    EXPECT_EQ(toFileText("Ni\xC3\xB1o"), "\xEF\xBB\xBFNi\xC3\xB1o"); // no ñ in windows-1250
}

TEST_F(CodePageTest, FieldsAreCutAtAWholeCharacterInTheFormThatFits) {
    EXPECT_EQ(toFileText("abcdef", 4), "abcd");
    EXPECT_EQ(toFileText("caf\xC3\xA9s", 4), "caf\xE9");
    // x y ł z: the code page stops at ł; the mark and "xył" take 7 bytes.
    EXPECT_EQ(toFileText("xy\xC5\x82z", 6), "xy");
    EXPECT_EQ(toFileText("xy\xC5\x82z", 7), "\xEF\xBB\xBFxy\xC5\x82");
    EXPECT_EQ(toFileText("xy\xC5\x82z", 8), "\xEF\xBB\xBFxy\xC5\x82z");
    // żółw: the mark and ż take 5 bytes, ó would need two more.
    EXPECT_EQ(toFileText("\xC5\xBC\xC3\xB3\xC5\x82w", 6), "\xEF\xBB\xBF\xC5\xBC");
    EXPECT_EQ(toFileText("\xC5\xBC\xC3\xB3\xC5\x82w", 2), "");

    setAnsiCodePage("GBK");
    // 中文字 is two bytes a character in GBK: five bytes hold two characters.
    EXPECT_EQ(toFileText("\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97", 5), "\xD6\xD0\xCE\xC4");
}
