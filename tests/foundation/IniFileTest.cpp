// The INI engine: Windows profile semantics on disk.
#include "TestSupport.h"

#include "foundation/IniFile.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace korvane;
using test::readFile;
using test::writeFile;

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override { setAnsiCodePage("WINDOWS-1252"); }
    test::TempDir dir;
};

TEST_F(IniFileTest, NewFileHasSectionsSeparatedByAnEmptyLineAndCrLf) {
    IniFile ini(dir / "a.prj");
    ini.writeString("Model", "plikModelu", "C:\\m.stl");
    ini.writeFloat("Material", "materialRozmiarX", 100.5);
    ini.writeInteger("Material", "materialZrodlo", 0);
    ini.writeBool("Proces", "flag", true);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(dir / "a.prj"),
              "[Model]\r\nplikModelu=C:\\m.stl\r\n\r\n"
              "[Material]\r\nmaterialRozmiarX=100.5\r\nmaterialZrodlo=0\r\n"
              "\r\n[Proces]\r\nflag=1\r\n");
}

TEST_F(IniFileTest, SectionsAndKeysMatchIgnoringCaseAndValuesAreTrimmed) {
    writeFile(dir / "b.ini", "[Operacja]\nNazwa =  Roughing  \r\nidTyp=3\nq=\"quoted\"\ns='x'\n");
    IniFile ini(dir / "b.ini");
    EXPECT_TRUE(ini.sectionExists("OPERACJA"));
    EXPECT_EQ(ini.readString("operacja", "nazwa", ""), "Roughing");
    EXPECT_EQ(ini.readInteger("Operacja", "IDTYP", -1), 3);
    EXPECT_EQ(ini.readString("Operacja", "q", ""), "quoted");
    EXPECT_EQ(ini.readString("Operacja", "s", ""), "x");
    EXPECT_EQ(ini.readString("Operacja", "missing", "dflt"), "dflt");
    EXPECT_EQ(ini.readInteger("Operacja", "nazwa", 9), 9); // not a number
    EXPECT_FALSE(ini.valueExists("Other", "nazwa"));
}

TEST_F(IniFileTest, ErasedSectionIsRewrittenAtTheEndAndOtherSectionsStay) {
    writeFile(dir / "c.prj", "[Model]\r\nplikModelu=old\r\n\r\n[Mine]\r\nkeep=1\r\n; note\r\n");
    IniFile ini(dir / "c.prj");
    ini.eraseSection("model");
    ini.writeString("Model", "plikModelu", "new");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(dir / "c.prj"),
              "[Mine]\r\nkeep=1\r\n; note\r\n\r\n[Model]\r\nplikModelu=new\r\n");
}

TEST_F(IniFileTest, NewKeyGoesToTheEndOfItsSectionBeforeTrailingEmptyLines) {
    writeFile(dir / "d.ini", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    IniFile ini(dir / "d.ini");
    ini.writeString("A", "z", "3");
    ini.writeString("a", "X", "4"); // replaces in place, keeps the stored key's spelling
    EXPECT_EQ(ini.text(), "[A]\r\nx=4\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
}

TEST_F(IniFileTest, HostileFilesReadWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 100000; ++i) junk += static_cast<char>(i * 7919 % 256);
    writeFile(dir / "junk.ini", junk);
    IniFile a(dir / "junk.ini");
    EXPECT_EQ(a.readString("Operacja", "nazwa", "none"), "none");

    writeFile(dir / "long.ini", "[S]\r\nk=" + std::string(5'000'000, 'v') + "\r\n[");
    IniFile b(dir / "long.ini");
    EXPECT_EQ(b.readString("S", "k", "").size(), 5'000'000u);
    EXPECT_TRUE(b.sectionExists("")); // an unterminated header names an empty section

    IniFile missing(dir / "none.ini");
    EXPECT_TRUE(missing.sections().empty());
    EXPECT_FALSE(IniFile(dir / "no" / "folder.ini").save());
}

TEST_F(IniFileTest, CodePageOnDiskUnlessACharacterIsMissingThenUtf8WithTheMark) {
    setAnsiCodePage("WINDOWS-1250");
    IniFile ini(dir / "pl.opr");
    ini.writeString("Operacja", "nazwa", "P\xC5\x82\x61szczyznowa"); // Płaszczyznowa
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(dir / "pl.opr"), "[Operacja]\r\nnazwa=P\xB3"
                                        "aszczyznowa\r\n");
    EXPECT_EQ(IniFile(dir / "pl.opr").readString("Operacja", "nazwa", ""),
              "P\xC5\x82\x61szczyznowa");

    ini.writeString("Operacja", "opis", "\xE6\x97\xA5\xE6\x9C\xAC"); // 日本: not in the code page
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(dir / "pl.opr"), "\xEF\xBB\xBF[Operacja]\r\nnazwa=P\xC5\x82"
                                        "aszczyznowa\r\nopis=\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    IniFile back(dir / "pl.opr");
    EXPECT_EQ(back.readString("Operacja", "opis", ""), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(back.readString("Operacja", "nazwa", ""), "P\xC5\x82\x61szczyznowa");

    // Without that character the file is in the code page again.
    back.writeString("Operacja", "opis", "");
    ASSERT_TRUE(back.save());
    EXPECT_EQ(readFile(dir / "pl.opr"), "[Operacja]\r\nnazwa=P\xB3"
                                        "aszczyznowa\r\nopis=\r\n");

    // A file with the mark written elsewhere reads as UTF-8, its first section included.
    writeFile(dir / "other.ini",
              "\xEF\xBB\xBF[Model]\nplikModelu=/home/\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/a.stl\n");
    EXPECT_EQ(IniFile(dir / "other.ini").readString("model", "plikModelu", ""),
              "/home/\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/a.stl"); // иван
}

TEST_F(IniFileTest, SectionsAndKeysMatchIgnoringCaseInEveryScript) {
    IniFile ini(dir / "u.ini");
    ini.writeString("\xC5\x81uk", "\xC3\x89tat", "1"); // [Łuk] État=1
    EXPECT_TRUE(ini.sectionExists("\xC5\x82UK"));      // łUK
    EXPECT_EQ(ini.readInteger("\xC5\x81UK", "\xC3\xA9tat", 0), 1);
    ini.writeString("\xC5\x82uk", "\xC3\x89TAT", "2"); // replaces, keeps the stored spelling
    EXPECT_EQ(ini.keys("\xC5\x81uk"), std::vector<std::string>{"\xC3\x89tat"});
    EXPECT_EQ(ini.readInteger("\xC5\x81uk", "\xC3\x89tat", 0), 2);
    ini.eraseSection("\xC5\x82UK");
    EXPECT_TRUE(ini.sections().empty());
}
