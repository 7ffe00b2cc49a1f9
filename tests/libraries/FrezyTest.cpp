// The tool library: the 148-byte file, the older layouts, the default tools,
// loading, lookups and the description text.
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/Frezy.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

template <typename T> std::string bytesOf(T value) {
    std::string b(sizeof value, '\0');
    std::memcpy(b.data(), &value, sizeof value);
    return b;
}

// A ShortString field: length byte, text, zero padding to `capacity`.
std::string shortString(const std::string& ansi, std::size_t capacity) {
    std::string b(1, static_cast<char>(ansi.size()));
    b += ansi;
    b.resize(capacity + 1, '\0');
    return b;
}

std::string toolBytes(const std::string& id, const std::string& ansiName, std::int32_t typ,
                      double d1, double d2, double d3, double h, double hc) {
    return shortString(id, 38) + shortString(ansiName, 64) + bytesOf(typ) + bytesOf(d1) +
           bytesOf(d2) + bytesOf(d3) + bytesOf(h) + bytesOf(hc);
}

class ToolLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::loadTexts("US");
        dataFolder = data.path();
        std::filesystem::create_directories(toolsFolder());
        toolTypeNames = {txt("Tools", "txtFrezPalcowy"), txt("Tools", "txtFrezKulowy"),
                         txt("Tools", "txtFrezStozkowy")};
    }
    test::RecordingUserInterface ui;
    test::TempDir data;
};

const char* conicalId = "{091B7CA7-59A0-4CF5-B281-7DC328BBEA71}";

} // namespace

TEST_F(ToolLibrary, DefaultToolsAreWrittenByteForByteInTheInterfaceLanguage) {
    ASSERT_TRUE(writeDefaultTools(toolsFolder()));
    EXPECT_EQ(test::readFile(toolsFolder() / "Conical2.tol"),
              toolBytes(conicalId, "Conical2", 2, 2, 4, 4, 5, 60));
    EXPECT_EQ(
        test::readFile(toolsFolder() / "EndSloting6.tol"),
        toolBytes("{4A2B4D7F-05FC-4C1A-A051-BC8CB8EDEC47}", "EndSloting6", 0, 6, 0, 6, 30, 60));
    for (const char* name : {"Ball2", "Ball3"})
        EXPECT_EQ(std::filesystem::file_size(toolsFolder() / (std::string(name) + ".tol")), 148u);

    // Polish names; the name inside the file is in windows-1250 (ż = 0xBF).
    test::TempDir polish;
    test::loadTexts("PL");
    ASSERT_TRUE(writeDefaultTools(polish.path()));
    EXPECT_EQ(test::readFile(polish.path() / "Stożkowy2.tol"),
              toolBytes(conicalId, "Sto\xBFkowy2", 2, 2, 4, 4, 5, 60));
    for (const char* name : {"Palcowy6", "Kulowy2", "Kulowy3"})
        EXPECT_TRUE(std::filesystem::exists(polish.path() / (std::string(name) + ".tol")));
}

TEST_F(ToolLibrary, LoadsSortedByDiameterAndAnswersLookups) {
    ASSERT_TRUE(writeDefaultTools(toolsFolder()));
    TFrezy lib;
    ASSERT_EQ(lib.Lista.size(), 4u);
    EXPECT_EQ(lib.Lista[2]->nazwa, "Ball3");
    EXPECT_EQ(lib.Lista[3]->nazwa, "EndSloting6");
    for (std::size_t i = 1; i < lib.Lista.size(); ++i)
        EXPECT_LE(lib.Lista[i - 1]->d1, lib.Lista[i]->d1);

    const std::string lower = "{091b7ca7-59a0-4cf5-b281-7dc328bbea71}";
    const int conical = lib.dajIndxFrezuNaLiscie(lower);
    ASSERT_GE(conical, 0);
    EXPECT_EQ(lib.Lista[static_cast<std::size_t>(conical)]->nazwa, "Conical2");
    EXPECT_FALSE(lib.JestTakiFrez_2(lower));
    EXPECT_TRUE(lib.JestTakiFrez_2(conicalId));
    EXPECT_EQ(lib.dajIndxFrezuNaLiscie("{00000000-0000-0000-0000-000000000000}"), -1);
    EXPECT_EQ(lib.dajSredniceFrezaNaPodstId("{7F0E47C7-6097-46F0-9034-F741CF02E737}"), 3);

    EXPECT_TRUE(lib.JestTakiFrez("BALL3", -1));
    EXPECT_FALSE(lib.JestTakiFrez("ball3", 2)); // the tool itself does not count
    EXPECT_FALSE(lib.JestTakiFrez("Ball4", -1));

    EXPECT_EQ(lib.dajOpisFrezaNaPodstId(conicalId, true),
              "Conical2: Conical cutter\n\rd1 = 2   d2 = 4   h  = 5");
    EXPECT_EQ(lib.dajOpisFrezaNaPodstIndeksu(2, false), "Ball-nose cutter\n\rd1 = 3   h  = 3");
    EXPECT_EQ(lib.dajOpisFrezaNaPodstIndeksu(9, false), "");

    lib.UsunFrezZListy(0);
    EXPECT_EQ(lib.Lista.size(), 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(toolsFolder()), {}), 4);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ToolLibrary, LegacyLayoutsAreConvertedOnLoadAndRewritten) {
    // Layout A: typ as int64 at 104, doubles from 112.
    const std::string a = shortString("{AAAAAAAA-0000-0000-0000-000000000001}", 38) +
                          shortString("Old152", 64) + bytesOf<std::int64_t>(2) + bytesOf(1.5) +
                          bytesOf(3.0) + bytesOf(4.0) + bytesOf(7.0) + bytesOf(20.0);
    ASSERT_EQ(a.size(), 152u);
    test::writeFile(toolsFolder() / "Old152.tol", a);

    // Layout B: name first, 3 bytes padding, int64 typ, d1, d2, h, id, 1 byte padding.
    auto layoutB = [](const std::string& name, std::int64_t typ, double d1, double d2, double h) {
        std::string b =
            shortString(name, 64) + std::string(3, '\0') + bytesOf(typ) + bytesOf(d1) +
            bytesOf(d2) + bytesOf(h) +
            shortString("{BBBBBBBB-0000-0000-0000-00000000000" + name.substr(4) + "}", 38) +
            std::string(1, '\0');
        return b;
    };
    test::writeFile(toolsFolder() / "OldB1.tol", layoutB("OldB1", 1, 4, 0, 8));
    test::writeFile(toolsFolder() / "OldB2.tol", layoutB("OldB2", 2, 1, 5, 9));
    ASSERT_EQ(std::filesystem::file_size(toolsFolder() / "OldB1.tol"), 140u);

    TFrezy lib;
    ASSERT_EQ(lib.Lista.size(), 3u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(test::readFile(toolsFolder() / "Old152.tol"),
              toolBytes("{AAAAAAAA-0000-0000-0000-000000000001}", "Old152", 2, 1.5, 3, 4, 7, 20));
    EXPECT_EQ(test::readFile(toolsFolder() / "OldB1.tol"),
              toolBytes("{BBBBBBBB-0000-0000-0000-000000000001}", "OldB1", 1, 4, 0, 4, 8, 8));
    EXPECT_EQ(test::readFile(toolsFolder() / "OldB2.tol"),
              toolBytes("{BBBBBBBB-0000-0000-0000-000000000002}", "OldB2", 2, 1, 5, 5, 9, 9));

    // The second load reads the converted files as they are.
    TFrezy again;
    ASSERT_EQ(again.Lista.size(), 3u);
    EXPECT_EQ(again.Lista[0]->nazwa, "OldB2");
    EXPECT_EQ(again.Lista[0]->d3, 5);
}

TEST_F(ToolLibrary, BadFilesAreSkippedWithoutStoppingTheLoad) {
    ASSERT_TRUE(writeDefaultTools(toolsFolder()));
    // Unknown lengths: skipped without a message.
    test::writeFile(toolsFolder() / "Empty.tol", "");
    test::writeFile(toolsFolder() / "Junk.tol", std::string(1000, '\xFF'));
    test::writeFile(toolsFolder() / "Short.tol", std::string(147, '\x01'));
    // A 152-byte file whose typ does not fit 32 bits: an import error.
    std::string wide = shortString("{X}", 38) + shortString("Wide", 64) +
                       bytesOf<std::int64_t>(1LL << 40) + std::string(40, '\0');
    test::writeFile(toolsFolder() / "Wide.tol", wide);
    // Length bytes beyond the field are cut at the field.
    std::string hostile(148, 'A');
    hostile[0] = static_cast<char>(250);
    hostile[39] = static_cast<char>(250);
    test::writeFile(toolsFolder() / "Hostile.tol", hostile);

    TFrezy lib;
    EXPECT_EQ(lib.Lista.size(), 5u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);
    EXPECT_EQ(ui.messages[0].text, txt("Tools_dialog", "bladImportuFrezu") + " : " +
                                       (toolsFolder() / "Wide.tol").string());
    EXPECT_EQ(test::readFile(toolsFolder() / "Wide.tol"), wide); // left as it was
    const int h = lib.dajIndxFrezuNaLiscie(std::string(38, 'A'));
    ASSERT_GE(h, 0);
    EXPECT_EQ(lib.Lista[static_cast<std::size_t>(h)]->nazwa, std::string(64, 'A'));
    EXPECT_EQ(lib.dajOpisFrezaNaPodstIndeksu(h, false).substr(0, 2), "\n\r"); // unknown type

    TFrezDane tool;
    EXPECT_FALSE(TFrezy::PobierzDaneFrezuZpliku(toolsFolder() / "Missing.tol", tool));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, txt("Other", "OdwolanieDoNieistniejacegoPliku") + "\n\r" +
                                       (toolsFolder() / "Missing.tol").string());
}

TEST_F(ToolLibrary, LongNamesAreCutAtAWholeCharacterAndTheFileNameFollows) {
    // 63 x and ż: windows-1252 has no ż, and with it the mark and UTF-8 take 68
    // bytes, so the 64-byte field holds the 63 x alone, in the code page.
    TFrezDane t{conicalId, std::string(63, 'x') + "\xC5\xBCz", toolEndMill, 1, 0, 1, 1, 1};
    const ToolFileBytes b = encodeTool(t);
    EXPECT_EQ(b[39], 63);
    EXPECT_EQ(b[39 + 64], 0);
    EXPECT_EQ(decodeTool(b).nazwa, std::string(63, 'x'));
    EXPECT_EQ(toolFile(t.nazwa), toolsFolder() / (std::string(63, 'x') + ".tol"));

    // 40 × ł: the mark and 30 of them (63 bytes) fit, the 31st would not.
    std::string ll;
    for (int i = 0; i < 40; ++i) ll += "\xC5\x82";
    t.nazwa = ll;
    ASSERT_TRUE(saveToolFile(toolFile(t.nazwa), t));
    const std::string stored = ll.substr(0, 60);
    const std::string bytes = test::readFile(toolsFolder() / (stored + ".tol"));
    ASSERT_EQ(bytes.size(), 148u);
    EXPECT_EQ(bytes.substr(39, 65), "\x3F\xEF\xBB\xBF" + stored + std::string(1, '\0'));
    TFrezy lib;
    ASSERT_EQ(lib.Lista.size(), 1u);
    EXPECT_EQ(lib.Lista[0]->nazwa, stored);
    EXPECT_TRUE(lib.JestTakiFrez(stored, -1));

    // In Polish ł is one byte of windows-1250: 64 of them.
    test::loadTexts("PL");
    t.nazwa = ll + ll;
    EXPECT_EQ(toolFile(t.nazwa), toolsFolder() / ((ll + ll).substr(0, 128) + ".tol"));
    EXPECT_EQ(encodeTool(t)[39], 64);
    EXPECT_EQ(encodeTool(t)[40], 0xB3);
}

TEST_F(ToolLibrary, NamesAreFoundIgnoringCaseInEveryScript) {
    auto save = [](const char* name) {
        ASSERT_TRUE(
            saveToolFile(toolFile(name), TFrezDane{conicalId, name, toolEndMill, 1, 0, 1, 1, 1}));
    };
    save("\xC5\x81uk"); // Łuk
    save("\xC3\xA9"
         "crou");                                     // écrou
    save("\xD0\xA4\xD1\x80\xD0\xB5\xD0\xB7\xD0\xB0"); // Фреза
    TFrezy lib;
    ASSERT_EQ(lib.Lista.size(), 3u);
    EXPECT_TRUE(lib.JestTakiFrez("\xC5\x82uk", -1)); // łuk
    EXPECT_TRUE(lib.JestTakiFrez("\xC3\x89"
                                 "CROU",
                                 -1));                                             // ÉCROU
    EXPECT_TRUE(lib.JestTakiFrez("\xD0\xA4\xD0\xA0\xD0\x95\xD0\x97\xD0\x90", -1)); // ФРЕЗА
    EXPECT_FALSE(lib.JestTakiFrez("Luk", -1));
    EXPECT_FALSE(lib.JestTakiFrez("ecrou", -1));
    // Equal diameters keep the file-name order: écrou, Łuk, Фреза (by their UTF-8 bytes).
    EXPECT_EQ(lib.Lista[1]->nazwa, "\xC5\x81uk");
    EXPECT_FALSE(lib.JestTakiFrez("\xC5\x81UK", 1)); // the tool itself does not count
}
