// The binary settings file "Konfig.cfg" and its older 376-byte form.
#include "TestSupport.h"

#include "foundation/Settings.h"
#include "foundation/State.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace korvane;
using test::readFile;
using test::writeFile;

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        dataFolder = dir.path();
    }
    test::RecordingUserInterface ui;
    test::TempDir dir;
};

template <typename T> T at(const std::string& bytes, size_t offset) {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

TUstawienia sample() {
    TUstawienia s;
    s.jednostkaMiary = 1;
    s.plikProjektu = "/home/op/Projects/Wing.prj";
    s.rozdzielczosc = 7.5;
    s.modelKolor = 0x00123456;
    s.modelSposobKreslenia = 2;
    s.modelPolysk = 0.5;
    s.ukladWsp = true;
    s.plytkaPomGrubosc = 15.1;
    s.plytkaPomPolozenie = 2;
    for (size_t i = 0; i < s.zarezerwowane.size(); ++i) s.zarezerwowane[i] = uint8_t(0xA0 + i);
    s.powiadomKoniecGenWy = true;
    s.powiadomKoniecObrobki = false;
    s.netSendOdbiorca = "WORKSHOP";
    s.sprzegNawigacyjny = true;
    s.adresIP = {192, 168, 1, 77};
    s.ethernetConnection = true;
    s.printer3D = true;
    return s;
}

} // namespace

TEST_F(SettingsTest, RecordHasTheFixedLayout) {
    settings = sample();
    ASSERT_TRUE(writeSettings());
    const std::string b = readFile(dir / "Konfig.cfg");
    ASSERT_EQ(b.size(), 368u);
    EXPECT_EQ(at<int32_t>(b, 0), 1);
    EXPECT_EQ(uint8_t(b[4]), 26);
    EXPECT_EQ(b.substr(5, 26), "/home/op/Projects/Wing.prj");
    EXPECT_EQ(at<double>(b, 260), 7.5);
    EXPECT_EQ(at<int32_t>(b, 268), 0x00123456);
    EXPECT_EQ(b[272], 2);
    EXPECT_EQ(at<double>(b, 276), 0.5);
    EXPECT_EQ(b[284], 1);
    EXPECT_EQ(at<double>(b, 288), 15.1);
    EXPECT_EQ(b[296], 2);
    EXPECT_EQ(uint8_t(b[297]), 0xA0);
    EXPECT_EQ(uint8_t(b[324]), 0xA0 + 27);
    EXPECT_EQ(b[325], 1);
    EXPECT_EQ(b[326], 0);
    EXPECT_EQ(uint8_t(b[327]), 8);
    EXPECT_EQ(b.substr(328, 8), "WORKSHOP");
    EXPECT_EQ(b[358], 1);
    EXPECT_EQ(b.substr(359, 4), "\xC0\xA8\x01\x4D");
    EXPECT_EQ(b[363], 1);
    EXPECT_EQ(b[364], 1);
    EXPECT_EQ(b.substr(365, 3), std::string(3, '\0'));

    settings = TUstawienia{};
    readSettings();
    EXPECT_EQ(encodeSettings(settings), encodeSettings(sample()));
}

TEST_F(SettingsTest, MissingOrWrongLengthGivesDefaultsAndKeepsViewFields) {
    settings.modelKolor = 0x0000FF;
    settings.printer3D = true;
    settings.rozdzielczosc = 99;
    readSettings(); // no file
    EXPECT_EQ(settings.rozdzielczosc, 5.0);
    EXPECT_EQ(settings.plytkaPomGrubosc, 15.1);
    EXPECT_TRUE(settings.sprzegNawigacyjny);
    EXPECT_EQ(settings.modelKolor, 0x0000FF);
    EXPECT_TRUE(settings.printer3D);
    EXPECT_FALSE(std::filesystem::exists(dir / "Konfig.cfg"));

    writeFile(dir / "Konfig.cfg", std::string(367, '\x11'));
    settings.rozdzielczosc = 99;
    readSettings();
    EXPECT_EQ(settings.rozdzielczosc, 5.0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingsTest, OldFileIsConvertedAndReplaced) {
    std::string old(376, '\0');
    auto put = [&](size_t off, const void* p, size_t n) { std::memcpy(&old[off], p, n); };
    int32_t unit = 2;
    double res = 10, plate = 20.5;
    put(0, &unit, 4);
    old[4] = 10;
    put(5, "C:\\P\\W.prj", 10);
    put(264, &res, 8);
    old[272] = 0x44; // colour, not carried over
    put(296, &plate, 8);
    old[304] = 1;
    for (int i = 0; i < 16; ++i) old[312 + i] = char(0x50 + i);
    old[337] = 1;
    old[338] = 1;
    old[339] = 3;
    put(340, "PC1", 3);
    old[370] = 0;
    put(371, "\x0A\x00\x00\x05", 4);
    old[375] = 1;
    writeFile(dir / "Konfig.cfg", old);

    settings.modelKolor = 0x0000FF; // view field in memory
    readSettings();
    EXPECT_EQ(settings.jednostkaMiary, 2);
    EXPECT_EQ(settings.plikProjektu, "C:\\P\\W.prj");
    EXPECT_EQ(settings.rozdzielczosc, 10.0);
    EXPECT_EQ(settings.plytkaPomGrubosc, 20.5);
    EXPECT_EQ(settings.plytkaPomPolozenie, 1);
    EXPECT_TRUE(settings.powiadomKoniecGenWy);
    EXPECT_TRUE(settings.powiadomKoniecObrobki);
    EXPECT_EQ(settings.netSendOdbiorca, "PC1");
    EXPECT_FALSE(settings.sprzegNawigacyjny);
    EXPECT_EQ(settings.adresIP, (std::array<uint8_t, 4>{10, 0, 0, 5}));
    EXPECT_TRUE(settings.ethernetConnection);
    EXPECT_EQ(settings.modelKolor, 0x0000FF);

    const std::string now = readFile(dir / "Konfig.cfg");
    ASSERT_EQ(now.size(), 368u);
    EXPECT_EQ(now.substr(300, 16), old.substr(312, 16));
    EXPECT_EQ(now.substr(297, 3), std::string(3, '\0'));
    EXPECT_EQ(at<double>(now, 264 - 4), 10.0);
}

TEST_F(SettingsTest, TextsThatDoNotFitAreNotStoredAsADifferentPath) {
    settings = sample();
    settings.plikProjektu = "/" + std::string(300, 'p') + ".prj";
    EXPECT_EQ(encodeSettings(settings)[4], 0);
    settings.plikProjektu = "/projets/\xC3\xA9t\xC3\xA9.prj"; // été: in windows-1252
    auto b = encodeSettings(settings);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[4]), 17), "\x10/projets/\xE9t\xE9.prj");
    EXPECT_EQ(decodeSettings(b).plikProjektu, "/projets/\xC3\xA9t\xC3\xA9.prj");
    // ż is not in windows-1252: the mark and UTF-8, 3 + 21 bytes.
    settings.plikProjektu = "/projekty/\xC5\xBC\xC3\xB3\xC5\x82w.prj"; // żółw
    settings.netSendOdbiorca = "HALA-\xC5\x81\xC3\x93"
                               "D\xC5\xB9"; // HALA-ŁÓDŹ
    b = encodeSettings(settings);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[4]), 25),
              "\x18\xEF\xBB\xBF/projekty/\xC5\xBC\xC3\xB3\xC5\x82w.prj");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[327]), 16),
              "\x0F\xEF\xBB\xBFHALA-\xC5\x81\xC3\x93\x44\xC5\xB9");
    const TUstawienia back = decodeSettings(b);
    EXPECT_EQ(back.plikProjektu, "/projekty/\xC5\xBC\xC3\xB3\xC5\x82w.prj");
    EXPECT_EQ(back.netSendOdbiorca, "HALA-\xC5\x81\xC3\x93"
                                    "D\xC5\xB9");
    // 30 bytes hold the mark and 27 bytes of UTF-8; a cut name would name another computer.
    settings.netSendOdbiorca = "\xC5\x81" + std::string(26, 'x');
    EXPECT_EQ(encodeSettings(settings)[327], 0);

    SettingsBytes hostile{};
    hostile[327] = 200; // length above the capacity of 30
    EXPECT_EQ(decodeSettings(hostile).netSendOdbiorca.size(), 30u);
}

TEST_F(SettingsTest, FailedWriteReportsFalseAndKeepsTheOldFile) {
    settings = sample();
    ASSERT_TRUE(writeSettings());
    dataFolder = dir / "missing";
    EXPECT_FALSE(writeSettings());
    dataFolder = dir.path();
    EXPECT_EQ(readFile(dir / "Konfig.cfg").size(), 368u);
}
