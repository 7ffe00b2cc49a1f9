// The operation library: the INI file with its keys per type, the defaults,
// reading with defaults, the spindle clamp, sorting, and hostile files.
#include "TestSupport.h"

#include "foundation/IniFile.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/Operacje.h"
#include "machine/MachineModels.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class OperationLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::loadTexts("US");
        dataFolder = data.path();
        std::filesystem::create_directories(operationsFolder());
    }
    test::RecordingUserInterface ui;
    test::TempDir data;
};

std::string crlf(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

// The keys of a file in file order.
std::string keyList(const std::filesystem::path& file) {
    std::string out;
    for (const auto& k : IniFile(file).keys(operationSection)) out += k + " ";
    return out;
}

} // namespace

TEST_F(OperationLibrary, DefaultOperationsAreWrittenExactly) {
    ASSERT_TRUE(writeDefaultOperations(operationsFolder()));
    EXPECT_EQ(test::readFile(operationsFolder() / "Roughing.opr"),
              crlf({"[Operacja]", "nazwa=Roughing", "idTyp=0",
                    "narzedzie={4A2B4D7F-05FC-4C1A-A051-BC8CB8EDEC47}", "warstwaSzer=3",
                    "warstwaGrubosc=3", "miekkieWejscie=0", "zostawDoNastOper=1", "szybkosc=8000",
                    "szybkoscPrzestawcza=16000", "posuwWiercenia=3000", "obroty=18000",
                    "dolnaGranicaZ=0", "gornaGranicaZ=170", "opis="}));
    EXPECT_EQ(test::readFile(operationsFolder() / "Lining.opr"),
              crlf({"[Operacja]", "nazwa=Lining", "idTyp=3",
                    "narzedzie={7F0E47C7-6097-46F0-9034-F741CF02E737}", "warstwaSzer=0.3", "kat=90",
                    "polaczoneKonce=1", "zostawDoNastOper=0", "szybkosc=3000",
                    "szybkoscPrzestawcza=16000", "posuwWiercenia=3000", "obroty=18000",
                    "dolnaGranicaZ=0", "gornaGranicaZ=170", "obliczeniaPrecyzyjne=0", "opis="}));
    EXPECT_EQ(test::readFile(operationsFolder() / "Lining_from_file.opr"),
              crlf({"[Operacja]", "nazwa=Lining_from_file", "idTyp=4",
                    "narzedzie={7F0E47C7-6097-46F0-9034-F741CF02E737}",
                    "plikNzw=C:\\PLT\\Tesmo.plt", "zostawDoNastOper=0", "szybkosc=3000",
                    "szybkoscPrzestawcza=16000", "posuwWiercenia=3000", "obroty=18000",
                    "dolnaGranicaZ=0", "gornaGranicaZ=170", "obliczeniaPrecyzyjne=0", "opis="}));
    EXPECT_EQ(keyList(operationsFolder() / "Mixed.opr"),
              "nazwa idTyp narzedzie warstwaSzer warstwaGrubosc polaczoneKonce zostawDoNastOper "
              "szybkosc szybkoscPrzestawcza posuwWiercenia obroty dolnaGranicaZ gornaGranicaZ "
              "obliczeniaPrecyzyjne opis ");

    // Polish names, stored in windows-1250 (ł = 0xB3).
    test::TempDir polish;
    test::loadTexts("PL");
    ASSERT_TRUE(writeDefaultOperations(polish.path()));
    const std::string text = test::readFile(polish.path() / "Płaszczyznowa.opr");
    EXPECT_NE(text.find("nazwa=P\xB3\x61szczyznowa\r\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(polish.path() / "Kreskowanie z pliku.opr"));
}

TEST_F(OperationLibrary, EachTypeWritesItsKeysInTableOrder) {
    const char* expected[] = {
        // 0 roughing
        "nazwa idTyp narzedzie warstwaSzer warstwaGrubosc miekkieWejscie zostawDoNastOper szybkosc "
        "szybkoscPrzestawcza posuwWiercenia obroty dolnaGranicaZ gornaGranicaZ opis ",
        // 1 layered
        "nazwa idTyp narzedzie warstwaGrubosc polaczoneKonce zostawDoNastOper szybkosc "
        "szybkoscPrzestawcza posuwWiercenia obroty dolnaGranicaZ gornaGranicaZ "
        "obliczeniaPrecyzyjne opis ",
        // 2 planes
        "nazwa idTyp narzedzie warstwaSzer zostawDoNastOper szybkosc szybkoscPrzestawcza "
        "posuwWiercenia obroty dolnaGranicaZ gornaGranicaZ obliczeniaPrecyzyjne opis ",
        // 3 hatching
        "nazwa idTyp narzedzie warstwaSzer kat polaczoneKonce zostawDoNastOper szybkosc "
        "szybkoscPrzestawcza posuwWiercenia obroty dolnaGranicaZ gornaGranicaZ "
        "obliczeniaPrecyzyjne opis ",
        // 4 plot file
        "nazwa idTyp narzedzie plikNzw zostawDoNastOper szybkosc szybkoscPrzestawcza "
        "posuwWiercenia obroty dolnaGranicaZ gornaGranicaZ obliczeniaPrecyzyjne opis ",
        // 5 mixed
        "nazwa idTyp narzedzie warstwaSzer warstwaGrubosc polaczoneKonce zostawDoNastOper szybkosc "
        "szybkoscPrzestawcza posuwWiercenia obroty dolnaGranicaZ gornaGranicaZ "
        "obliczeniaPrecyzyjne opis ",
        // 6 printing
        "nazwa idTyp warstwaSzer warstwaGrubosc warstwyGrupowanie szybkosc szybkoscPrzestawcza "
        "dolnaGranicaZ gornaGranicaZ tempRobocza zuzycieMaterialu iloscObrysow opis ",
        // 7 outline
        "nazwa idTyp automatycznyPoziom poziomObrysu opis ",
    };
    for (int type = 0; type < 8; ++type) {
        TOperacjaDane o;
        o.nazwa = "T" + std::to_string(type);
        o.idTyp = type;
        const auto file = operationFile(o.nazwa);
        ASSERT_TRUE(saveOperationFile(file, o));
        EXPECT_EQ(keyList(file), expected[type]) << "type " << type;
        EXPECT_EQ(test::readFile(file), operationFileText(o));
    }
}

TEST_F(OperationLibrary, ReadingGivesEveryFieldWithItsDefault) {
    TOperacjaDane o;
    o.nazwa = "Hatch";
    o.idTyp = opHatching;
    o.narzedzie = "{7F0E47C7-6097-46F0-9034-F741CF02E737}";
    o.warstwaSzer = 0.35;
    o.warstwaGrubosc = 2; // not written for type 3
    o.kat = -45.5;
    o.polaczoneKonce = false;
    o.miekkieWejscie = false; // not written for type 3
    o.szybkosc = 1234.5;
    o.obroty = 12000;
    o.granicaZgorna = 1e-7;
    o.ObliczeniaPrecyzyjne = true;
    o.opis = "two\r\nlines";
    ASSERT_TRUE(saveOperationFile(operationFile("Hatch"), o));
    EXPECT_NE(test::readFile(operationFile("Hatch")).find("\r\nopis=two  lines\r\n"),
              std::string::npos);

    TOperacjaDane back;
    ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(operationFile("Hatch"), back));
    EXPECT_EQ(back.nazwa, "Hatch");
    EXPECT_EQ(back.idTyp, 3);
    EXPECT_EQ(back.narzedzie, o.narzedzie);
    EXPECT_EQ(back.warstwaSzer, 0.35);
    EXPECT_EQ(back.warstwaGrubosc, 0);
    EXPECT_TRUE(back.miekkieWejscie);
    EXPECT_TRUE(back.warstwyGrupowanie);
    EXPECT_EQ(back.kat, -45.5);
    EXPECT_FALSE(back.polaczoneKonce);
    EXPECT_EQ(back.szybkosc, 1234.5);
    EXPECT_EQ(back.obroty, 12000);
    EXPECT_EQ(back.granicaZgorna, 1e-7);
    EXPECT_TRUE(back.ObliczeniaPrecyzyjne);
    EXPECT_EQ(back.poziomObrysu, 100);
    EXPECT_TRUE(back.automatycznyPoziom);
    EXPECT_EQ(back.opis, "two  lines");

    // Another section of the file stays; an old "Operacja" section is replaced.
    test::writeFile(operationFile("Kept"),
                    crlf({"[Extra]", "a=1", "", "[Operacja]", "nazwa=Old", "stale=1"}));
    o.nazwa = "Kept";
    ASSERT_TRUE(saveOperationFile(operationFile("Kept"), o));
    const std::string kept = test::readFile(operationFile("Kept"));
    EXPECT_EQ(kept.substr(0, 28), "[Extra]\r\na=1\r\n\r\n[Operacja]\r\n");
    EXPECT_EQ(kept.find("stale"), std::string::npos);
}

TEST_F(OperationLibrary, SpindleSpeedIsClampedToTheMachineOnRead) {
    test::writeFile(operationFile("Fast"),
                    crlf({"[Operacja]", "nazwa=Fast", "idTyp=0", "obroty=30000"}));
    test::writeFile(operationFile("Slow"),
                    crlf({"[Operacja]", "nazwa=Slow", "idTyp=0", "obroty=100"}));
    const std::string before = test::readFile(operationFile("Fast"));
    TOperacjaDane o;
    ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(operationFile("Fast"), o));
    EXPECT_EQ(o.obroty, 24000);
    ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(operationFile("Slow"), o));
    EXPECT_EQ(o.obroty, 3000);
    EXPECT_EQ(test::readFile(operationFile("Fast")), before);

    machineParams.spindleSpeedMax = 18000;
    ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(operationFile("Fast"), o));
    EXPECT_EQ(o.obroty, 18000);
}

TEST_F(OperationLibrary, LibrarySortsAndFindsByName) {
    auto save = [](const std::string& name, int type, double width, double depth) {
        TOperacjaDane o;
        o.nazwa = name;
        o.idTyp = type;
        o.warstwaSzer = width;
        o.warstwaGrubosc = depth;
        ASSERT_TRUE(saveOperationFile(operationFile(name), o));
    };
    save("Beta", 0, 2, 1);
    save("alpha", 0, 2, 1);
    save("Wide", 0, 5, 1);
    save("Deep", 0, 2, 3);
    save("Later", 1, 9, 9);
    save("First", -1, 0, 0);
    // The name inside the file, not the file name, is the operation's name.
    test::writeFile(operationsFolder() / "file name.opr",
                    crlf({"[Operacja]", "nazwa=Inner", "idTyp=2"}));

    TOperacje lib;
    std::string order;
    for (const auto& o : lib.Lista) order += o->nazwa + " ";
    EXPECT_EQ(order, "First Wide Deep alpha Beta Later Inner ");

    EXPECT_TRUE(lib.JestTakaOperacja("WIDE", -1));
    EXPECT_FALSE(lib.JestTakaOperacja("wide", 1));
    TOperacjaDane found;
    found.szybkosc = 77;
    ASSERT_TRUE(lib.PobierzDaneOperacjiZlisty("deep", found));
    EXPECT_EQ(found.nazwa, "Deep");
    EXPECT_EQ(found.warstwaGrubosc, 3);
    EXPECT_EQ(found.szybkosc, 77); // only the four fields are copied
    EXPECT_FALSE(lib.PobierzDaneOperacjiZlisty("none", found));
}

TEST_F(OperationLibrary, NamesSortAndMatchIgnoringCaseInEveryScript) {
    // Equal type, width and depth: the name decides, its case folded. Unfolded,
    // Ł (U+0141) would come before ł (U+0142), É before é, Ж before ж.
    for (const char* name : {"\xC5\x81ZA", "\xC5\x82uk", // ŁZA, łuk
                             "\xC3\x89TAU",
                             "\xC3\xA9"
                             "crou",                                            // ÉTAU, écrou
                             "\xD0\x96\xD0\xAF", "\xD0\xB6\xD1\x83\xD0\xBA"}) { // ЖЯ, жук
        TOperacjaDane o;
        o.nazwa = name;
        o.idTyp = opHatching;
        ASSERT_TRUE(saveOperationFile(operationFile(name), o));
    }
    TOperacje lib;
    std::string order;
    for (const auto& o : lib.Lista) order += o->nazwa + " ";
    EXPECT_EQ(order, "\xC3\xA9"
                     "crou \xC3\x89TAU \xC5\x82uk \xC5\x81ZA "
                     "\xD0\xB6\xD1\x83\xD0\xBA \xD0\x96\xD0\xAF ");

    EXPECT_TRUE(lib.JestTakaOperacja("\xC5\x81UK", -1)); // ŁUK
    EXPECT_FALSE(lib.JestTakaOperacja("\xC5\x81UK", 2)); // itself
    TOperacjaDane found;
    ASSERT_TRUE(lib.PobierzDaneOperacjiZlisty("\xC3\x89"
                                              "CROU",
                                              found));
    EXPECT_EQ(found.nazwa, "\xC3\xA9"
                           "crou");
    ASSERT_TRUE(lib.PobierzDaneOperacjiZlisty("\xD0\x96\xD0\xA3\xD0\x9A", found)); // ЖУК
    EXPECT_EQ(found.nazwa, "\xD0\xB6\xD1\x83\xD0\xBA");
    EXPECT_FALSE(lib.PobierzDaneOperacjiZlisty("\xD0\x96", found));
}

TEST_F(OperationLibrary, HostileFilesLoadWithDefaultsOrAreSkipped) {
    // No section "Operacja": skipped.
    test::writeFile(operationsFolder() / "NoSection.opr", crlf({"nazwa=x", "idTyp=0"}));
    // Binary junk: skipped.
    std::string junk;
    for (int i = 0; i < 100000; ++i) junk += static_cast<char>((i * 7919) % 256);
    test::writeFile(operationsFolder() / "Junk.opr", junk);
    // A huge line and numbers that are not numbers: defaults.
    test::writeFile(operationsFolder() / "Huge.opr",
                    "[Operacja]\r\nnazwa=Huge\r\nopis=" + std::string(8 << 20, 'x') +
                        "\r\nidTyp=zero\r\nobroty=fast\r\nwarstwaSzer=1,5\r\nkat=nan\r\n"
                        "iloscObrysow=99999999999\r\nnarzedzie=" +
                        std::string(100, 'N') + "\r\n");
    // Junk inside the section.
    test::writeFile(operationsFolder() / "Mixed.opr",
                    "[Operacja]\r\nnazwa=Mixed\r\n\x01\x02=\xFF\xFE\r\n[\r\n]]]\r\nidTyp=2\r\n");

    TOperacje lib;
    ASSERT_EQ(lib.Lista.size(), 2u);
    const TOperacjaDane& huge = *lib.Lista[0];
    EXPECT_EQ(huge.nazwa, "Huge");
    EXPECT_EQ(huge.idTyp, -1);
    EXPECT_EQ(huge.obroty, 3000);
    EXPECT_EQ(huge.warstwaSzer, 0);
    EXPECT_EQ(huge.iloscObrysow, 0);
    EXPECT_EQ(huge.narzedzie, std::string(38, 'N'));
    EXPECT_EQ(huge.opis.size(), 8u << 20);
    EXPECT_EQ(lib.Lista[1]->nazwa, "Mixed");
    EXPECT_TRUE(ui.messages.empty());

    TOperacjaDane o;
    EXPECT_FALSE(TOperacje::PobierzDaneOperacjiZpliku(operationFile("Missing"), o));
}
