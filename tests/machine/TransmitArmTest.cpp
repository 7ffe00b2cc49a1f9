#include "MachineTestSupport.h"

#include "machine/TransmitArm.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

class Transmission : public ScriptedMachineTest {
  protected:
    void SetUp() override {
        ScriptedMachineTest::SetUp();
        showStatusText = [this](const std::string& t) { status.push_back(t); };
    }
    void TearDown() override {
        transArm.stop();
        ScriptedMachineTest::TearDown();
        showStatusText = [](const std::string&) {};
    }
    // A job of `count` pause records "p", i.
    void job(int count) {
        std::string file;
        for (int i = 0; i < count; ++i) file += bytes({'p', i % 250 + 1});
        writeFile(dir / "out.bin", file);
        ASSERT_TRUE(transArm.start(TOperacjaDane{}, dir / "out.bin", ""));
    }
    std::vector<std::string> sent() const {
        std::vector<std::string> out;
        for (const auto& r : hid->reports)
            out.push_back(r[1] == 'p' ? reportCommand(r, 2) : reportCommand(r, 1));
        return out;
    }

    TempDir dir;
    std::vector<std::string> status;
};

TEST_F(Transmission, SeventeenRecordsStartTheJob) {
    jobLogOn = false;
    job(17);
    transArm.tick();
    const auto s = sent();
    ASSERT_EQ(s.size(), 18u);
    EXPECT_EQ(s[16], bytes({'p', 17}));
    EXPECT_EQ(s[17], "G");
    EXPECT_TRUE(jobRunning);
    EXPECT_EQ(status, std::vector<std::string>{txt("Control_panel", "obrobkaNaMaszynieWtoku")});
    EXPECT_DOUBLE_EQ(transArm.progres(), 100);
    EXPECT_TRUE(transArm.isOpen());
    transArm.tick();
    EXPECT_FALSE(transArm.isOpen());

    jobRunning = false;
    hid->reports.clear();
    job(16);
    transArm.tick();
    EXPECT_EQ(sent().size(), 16u);
    EXPECT_FALSE(jobRunning);
}

TEST_F(Transmission, TheWindowIsPumpedAfterEveryTenRecordsOfATick) {
    jobLogOn = false;
    job(60);
    std::vector<std::size_t> reportsAtPump;
    machineWaitPump = [&] { reportsAtPump.push_back(hid->reports.size()); };
    transArm.tick();
    // After records 10, 20, 30 and 40; "G" follows record 17.
    EXPECT_EQ(reportsAtPump, (std::vector<std::size_t>{10, 21, 31, 41}));
    EXPECT_EQ(transArm.licznik(), 50);
    const auto s = sent();
    ASSERT_EQ(s.size(), 51u);
    EXPECT_EQ(s[16], bytes({'p', 17}));
    EXPECT_EQ(s[17], "G");
    EXPECT_EQ(s[50], bytes({'p', 50}));

    // Stopped from the window during a pump: nothing more is sent.
    machineWaitPump = [] { transArm.stop(); };
    hid->reports.clear();
    job(60);
    transArm.tick();
    EXPECT_EQ(sent().size(), 10u);
    EXPECT_FALSE(transArm.isOpen());
}

TEST_F(Transmission, BatchesOfFiftyAndTheFullBuffer) {
    jobLogOn = false;
    job(120);
    hid->replies[10] = {block({{2, le32(0x200)}})};
    transArm.tick();
    transArm.tick();
    EXPECT_TRUE(hid->reports.empty());
    EXPECT_EQ(transArm.licznik(), 0);
    hid->replies[10] = {block({})};
    transArm.tick();
    EXPECT_EQ(transArm.licznik(), 50);
    EXPECT_EQ(sent().size(), 51u); // with "G"
    transArm.tick();
    EXPECT_EQ(transArm.licznik(), 100);
    transArm.tick();
    EXPECT_EQ(transArm.licznik(), 120);
    EXPECT_TRUE(transArm.isOpen());
    transArm.tick();
    EXPECT_FALSE(transArm.isOpen());
}

TEST_F(Transmission, ARecordTheLinkDidNotTakeGoesAgain) {
    jobLogOn = false;
    job(30);
    const auto devices = hid->devices;
    hid->devices.clear();
    usbLink->deviceChange();
    transArm.tick();
    EXPECT_EQ(transArm.licznik(), 0);
    EXPECT_EQ(transArm.lastFailure(), usbNotPresent);
    hid->devices = devices;
    usbLink->deviceChange();
    transArm.tick();
    EXPECT_EQ(transArm.licznik(), 30);
    const auto s = sent();
    ASSERT_EQ(s.size(), 31u);
    EXPECT_EQ(s[0], bytes({'p', 1})); // nothing lost, nothing twice
    EXPECT_EQ(s[30], bytes({'p', 30}));
}

TEST_F(Transmission, BadFilesAndMissingLink) {
    writeFile(dir / "out.bin", bytes({'p', 1, '1', 0}));
    ASSERT_TRUE(transArm.start(TOperacjaDane{}, dir / "out.bin", ""));
    transArm.tick();
    ASSERT_EQ(ui.messages.size(), 1u); // a letter outside the table: the tick ends
    EXPECT_TRUE(transArm.isOpen());
    EXPECT_EQ(transArm.lastFailure(), badRecord);
    EXPECT_EQ(transArm.licznik(), 1);

    writeFile(dir / "out.bin", bytes({'p', 1, 'r', 1}));
    ASSERT_TRUE(transArm.start(TOperacjaDane{}, dir / "out.bin", ""));
    transArm.tick();
    EXPECT_FALSE(transArm.isOpen()); // a cut-off record is not sent
    EXPECT_EQ(transArm.licznik(), 1);

    EXPECT_FALSE(transArm.start(TOperacjaDane{}, dir / "missing.bin", ""));
    usbLink.reset();
    job(3);
    transArm.tick();
    EXPECT_FALSE(transArm.isOpen());
    EXPECT_EQ(ui.messages.back().text, txt("Ploter", "bladUsb"));
    EXPECT_EQ(ui.messages.back().caption, "wr ");
}

TEST_F(Transmission, JobLogStartEntry) {
    jobLogOn = true;
    dataFolder = dir.path();
    modelExtents.plik_RAW = "/models/relief.stl";
    TOperacjaDane op;
    op.nazwa = "hatch";
    op.idTyp = 3;
    op.szybkosc = 1500;
    op.szybkoscPrzestawcza = 3000;
    op.warstwaSzer = 0.5;
    op.kat = 45;
    op.polaczoneKonce = true;
    std::string file;
    for (int i = 0; i < 20; ++i) file += bytes({'p', 1});
    writeFile(dir / "out.bin", file);
    // The section is headed by the main window's caption, title and version.
    ASSERT_TRUE(transArm.start(op, dir / "out.bin", "Korvane3D   ver. 1.4.0.27"));
    transArm.tick();
    EXPECT_EQ(jobLogSection, "Korvane3D   ver. 1.4.0.27, relief.stl");
    bool found = false;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
        if (entry.path().extension() != ".log") continue;
        const std::string log = readFile(entry.path());
        found = log.find("[Korvane3D   ver. 1.4.0.27, relief.stl]") != std::string::npos &&
                log.find(" start : hatch ") != std::string::npos &&
                log.find(" Vr=1500 Vp=3000 szer.=0.5") != std::string::npos;
    }
    EXPECT_TRUE(found);
    jobLogOn = false;
}

} // namespace
} // namespace korvane::test
