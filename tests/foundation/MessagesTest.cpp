// Messages to the user, reported deletion, file sizes, report and log files,
// notifications and the manual.
#include "TestSupport.h"

#include "foundation/IniFile.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "platform/Desktop.h"

#include <gtest/gtest.h>

using namespace korvane;
using test::readFile;
using test::writeFile;

namespace {

// A front end whose message box, while on screen, is asked again for a message:
// as a timer or a repeated event would do in the window.
class ReenteringUserInterface final : public UserInterface {
  public:
    void messageBox(const std::string& text, bool error, const std::string& caption,
                    bool) override {
        shown.push_back(caption + ":" + text);
        if (shown.size() == 1) {
            showMessage(text, error, title);  // the same: suppressed
            showMessage(text, !error, title); // another kind: shown
        }
    }
    Button confirmation(const std::string&, Buttons) override { return Button::No; }
    std::vector<std::string> shown;
    std::string title;
};

class MessagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        test::loadTexts("US");
        dataFolder = dir.path();
    }
    test::RecordingUserInterface ui;
    test::TempDir dir;
};

} // namespace

TEST_F(MessagesTest, SameMessageIsNotStackedWhileOnScreen) {
    ReenteringUserInterface reentering;
    setUserInterface(&reentering);
    showMessage("Buffer full", true);
    EXPECT_EQ(reentering.shown,
              (std::vector<std::string>{"Error:Buffer full", "Information:Buffer full"}));
    EXPECT_FALSE(messageState.widoczny);
    showMessage("Buffer full", true); // closed: can be shown again
    EXPECT_EQ(reentering.shown.size(), 3u);
    setUserInterface(&ui);

    showMessage("Text", false, "Own title");
    EXPECT_EQ(ui.messages.back().caption, "Own title");
    EXPECT_EQ(messageState.tresc, "Text");
    EXPECT_EQ(messageState.tytul, "Own title");
}

TEST_F(MessagesTest, BoxesWithoutATitleAreTitledInTheInterfaceLanguage) {
    test::loadTexts("PL");
    showMessage("a", true);
    showMessage("b", false);
    texts.reset(); // before the catalogue
    showMessage("c", true);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].caption, "Błąd");
    EXPECT_EQ(ui.messages[1].caption, "Informacja");
    EXPECT_EQ(ui.messages[2].caption, "Error");
}

TEST_F(MessagesTest, RightToLeftFollowsTheInterface) {
    texts->arabski = true;
    showMessage("x", false);
    EXPECT_TRUE(ui.lastRightToLeft);
}

TEST_F(MessagesTest, FileSizesInBytesKilobytesAndMegabytes) {
    EXPECT_EQ(formatByteCount(0), "0b");
    EXPECT_EQ(formatByteCount(1023), "1023b");
    EXPECT_EQ(formatByteCount(1024), "1KB");
    EXPECT_EQ(formatByteCount(2560), "2KB"); // 2.5 to even
    EXPECT_EQ(formatByteCount(3584), "4KB"); // 3.5 to even
    EXPECT_EQ(formatByteCount(1048575), "1024KB");
    EXPECT_EQ(formatByteCount(1048576), "1MB");
    EXPECT_EQ(formatByteCount(2621440), "2MB"); // 2.5 MB to even
    writeFile(dir / "f.out", std::string(2560, 'x'));
    EXPECT_EQ(formatFileSize(dir / "f.out"), "2KB");
}

TEST_F(MessagesTest, ReportedDeletion) {
    writeFile(dir / "a.out", "x");
    EXPECT_TRUE(deleteFileReported(dir / "a.out"));
    EXPECT_FALSE(std::filesystem::exists(dir / "a.out"));
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_FALSE(deleteFileReported(dir / "a.out"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "The file to be deleted does not exist:\n\r" + (dir / "a.out").string());
    EXPECT_TRUE(ui.messages[0].error);

    std::filesystem::create_directories(dir / "full" / "inner");
    writeFile(dir / "full" / "inner" / "x", "x");
    EXPECT_FALSE(deleteFileReported(dir / "full"));
    EXPECT_EQ(ui.messages.back().text.rfind("The file could not be deleted.\n\r\n\rDetails: ", 0),
              0u);
    EXPECT_TRUE(std::filesystem::exists(dir / "full" / "inner" / "x"));
}

TEST_F(MessagesTest, DeletionByMask) {
    for (const char* name : {"Roughing.out", "Lining.OUT", "out.bin", "keep.prj", "[x].out"})
        writeFile(dir / name, "x");
    deleteFilesByMask(dir.path(), "*", "out");
    EXPECT_FALSE(std::filesystem::exists(dir / "Roughing.out"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Lining.OUT"));
    EXPECT_FALSE(std::filesystem::exists(dir / "[x].out"));
    EXPECT_TRUE(std::filesystem::exists(dir / "out.bin"));
    deleteFilesByMask(dir.path(), "out.bin", "");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
    EXPECT_TRUE(std::filesystem::exists(dir / "keep.prj"));
    deleteFilesByMask(dir / "missing", "*", ""); // no folder: nothing, no message
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MessagesTest, ReportLinesOnlyWithTheSwitchAndLogValuesAsIni) {
    EXPECT_TRUE(writeReportLine("Start Obrobki"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Raport.txt"));
    loggerOn = true;
    EXPECT_TRUE(writeReportLine("Start Obrobki"));
    EXPECT_TRUE(writeReportLine("Koniec Obrobki"));
    const std::string report = readFile(dir / "Raport.txt");
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2);
    EXPECT_NE(report.find("   Start Obrobki\r\n"), std::string::npos);
    EXPECT_EQ(report.substr(report.size() - 16), "Koniec Obrobki\r\n");

    // A path with a character windows-1252 lacks turns the report into UTF-8.
    EXPECT_TRUE(writeReportLine("/home/micha\xC5\x82/part.stl"));
    const std::string utf8 = readFile(dir / "Raport.txt");
    EXPECT_EQ(utf8.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(utf8.substr(3, report.size()), report);
    EXPECT_EQ(utf8.substr(utf8.size() - 27), "   /home/micha\xC5\x82/part.stl\r\n");

    EXPECT_TRUE(writeLogValue("2026-12-09 10:00", "czas", "1.5"));
    EXPECT_TRUE(writeLogValue("2026-12-09 10:00", "plik", "Roughing.out"));
    EXPECT_EQ(readFile(dir / "Korvane3D.log"),
              "[2026-12-09 10:00]\r\nczas=1.5\r\nplik=Roughing.out\r\n");
}

TEST_F(MessagesTest, NotificationsReachOnlyThisComputer) {
    EXPECT_EQ(notifyNetSend("", "done"), 0);
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_EQ(notifyNetSend("SOME-OTHER-PC-XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX", "done"), 50);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "NET SEND");
    EXPECT_EQ(ui.messages[0].text,
              "The network message could not be sent to SOME-OTHER-PC-XXXXXXXXXXXXXXXXXXXXXXXXXX"
              "\r\n\r\nNetwork messages are not supported on this computer.");
}

TEST_F(MessagesTest, RecipientIsCutAtFortyCharactersNotBytes) {
    // 38 letters, then ż, ó, ł: 40 characters end after ó, in the middle of 43 bytes.
    const std::string recipient = "PRACOWNIA-NR-1-HALA-B-STANOWISKO-FREZU\xC5\xBC\xC3\xB3\xC5\x82";
    EXPECT_EQ(notifyNetSend(recipient, "done"), 50);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The network message could not be sent to "
                                   "PRACOWNIA-NR-1-HALA-B-STANOWISKO-FREZU\xC5\xBC\xC3\xB3"
                                   "\r\n\r\nNetwork messages are not supported on this computer.");
    // Cyrillic, two bytes a character: 40 characters are 80 bytes.
    ui.messages.clear();
    std::string cyrillic;
    for (int i = 0; i < 45; ++i) cyrillic += "\xD0\xB6"; // ж
    notifyNetSend(cyrillic, "done");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(41, 82), cyrillic.substr(0, 80) + "\r\n");
}

TEST_F(MessagesTest, ManualInTheInterfaceLanguageElseUs) {
    exeFolder = dir.path();
    std::filesystem::create_directories(dir / "Help");
    texts->skrotJez = "PL";
    EXPECT_EQ(findManual(), dir / "Help" / "Korvane_QTV_manual_US.pdf");
    openManual("config.htm");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The manual file was not found:\r\n" +
                                       (dir / "Help" / "Korvane_QTV_manual_US.pdf").string());
    writeFile(dir / "Help" / "Korvane_QTV_manual_PL.pdf", "%PDF");
    EXPECT_EQ(findManual(), dir / "Help" / "Korvane_QTV_manual_PL.pdf");
}

TEST_F(MessagesTest, ManualWithoutADocumentOpenerSaysSo) {
    exeFolder = dir.path();
    std::filesystem::create_directories(dir / "Help");
    writeFile(dir / "Help" / "Korvane_QTV_manual_US.pdf", "%PDF");
    // No xdg-open can be started from an empty search path.
    const std::string path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", dir.path().c_str(), 1);
    openManual("index.htm");
    setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);
    EXPECT_EQ(ui.messages[0].text, "The manual could not be opened. Please install a PDF viewer.");
}

TEST(OsDescription, NamesTheSystemAndItsVersion) {
    const std::string d = osDescription();
    EXPECT_NE(d.find(" [ver. "), std::string::npos);
    EXPECT_NE(d.find("]\r\nLinux "), std::string::npos);
}
