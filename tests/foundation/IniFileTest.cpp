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

TEST_F(IniFileTest, TextsUseTheCodePageOnDisk) {
    setAnsiCodePage("WINDOWS-1250");
    IniFile ini(dir / "pl.opr");
    ini.writeString("Operacja", "nazwa", "Płaszczyznowa");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(dir / "pl.opr"), "[Operacja]\r\nnazwa=P\xB3"
                                        "aszczyznowa\r\n");
    EXPECT_EQ(IniFile(dir / "pl.opr").readString("Operacja", "nazwa", ""), "Płaszczyznowa");

    ini.writeString("Operacja", "opis", "日本"); // not in the code page
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(IniFile(dir / "pl.opr").readString("Operacja", "opis", ""), "??");
    EXPECT_EQ(IniFile(dir / "pl.opr").readString("Operacja", "nazwa", ""), "Płaszczyznowa");
}
