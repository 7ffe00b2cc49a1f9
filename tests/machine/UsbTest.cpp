#include "MachineTestSupport.h"

#include "platform/MainLoop.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

TEST(Usb, IdentificationRule) {
    auto device = [](std::string maker, std::string product) {
        return HidDeviceInfo{"d", std::move(maker), std::move(product), "", true};
    };
    EXPECT_TRUE(isVardimonDevice(device("Vardimon", "gMN-0001")));
    EXPECT_TRUE(isVardimonDevice(device("Vardimon", "XKC-3020")));
    EXPECT_TRUE(isVardimonDevice(device("Vardimon", "kwA")));
    EXPECT_FALSE(isVardimonDevice(device("Vardimon", "Kx")));
    EXPECT_FALSE(isVardimonDevice(device("Vardimon", "Pa")));
    EXPECT_FALSE(isVardimonDevice(device("VARDIMON", "XKC")));
    EXPECT_FALSE(isVardimonDevice(device("Vardimon", "")));
    HidDeviceInfo unreadable = device("Vardimon", "XKC");
    unreadable.stringsOk = false;
    EXPECT_FALSE(isVardimonDevice(unreadable));
}

TEST(Usb, ReportFraming) {
    auto s = std::make_shared<ScriptedHid::State>();
    s->devices.insert(s->devices.begin(), HidDeviceInfo{"other", "Logitech", "Mouse", "", true});
    TfUsb usb(std::make_unique<ScriptedHid>(s));
    EXPECT_FALSE(usb.Present());
    ASSERT_EQ(s->reports.size(), 1u); // the "X" written at creation
    EXPECT_EQ(reportCommand(s->reports[0], 2), bytes({'X', 0}));

    const std::string sixteen = "0123456789ABCDEF";
    ASSERT_EQ(usb.Write(sixteen), 0);
    EXPECT_TRUE(usb.Present());
    EXPECT_EQ(usb.device()->id, "dev1");
    EXPECT_EQ(s->reports.back()[0], 0);
    EXPECT_EQ(reportCommand(s->reports.back(), 16), sixteen);

    ASSERT_EQ(usb.Write(sixteen.substr(0, 15)), 0);
    EXPECT_EQ(s->reports.back()[16], 0);

    std::string thirty;
    for (int i = 0; i < 30; ++i) thirty.push_back(static_cast<char>(0xE0 + i));
    s->reports.clear();
    ASSERT_EQ(usb.Write(thirty), 0);
    ASSERT_EQ(s->reports.size(), 2u);
    EXPECT_EQ(reportCommand(s->reports[0], 16), thirty.substr(0, 16));
    EXPECT_EQ(reportCommand(s->reports[1], 14), thirty.substr(16));
}

TEST(Usb, WriteErrors) {
    auto s = std::make_shared<ScriptedHid::State>();
    TfUsb usb(std::make_unique<ScriptedHid>(s));
    s->writeError = hidErrorNotFunctioning;
    EXPECT_EQ(usb.Write("Y"), 0); // delivered after a pause
    s->writeError = 87;
    EXPECT_EQ(usb.Write("Y"), 87);
    s->devices.clear();
    usb.deviceChange();
    EXPECT_EQ(usb.Write("Y"), usbNotPresent);
}

TEST(Usb, BusyDeviceStillGetsTheSecondReport) {
    // A fourth-axis move: padded "SBS" and a 15-byte "A" move, 31 bytes. The
    // first report meets a busy device; the move must follow it, or the machine
    // keeps the prefix and turns the next move into a fourth-axis move.
    auto s = std::make_shared<ScriptedHid::State>();
    TfUsb usb(std::make_unique<ScriptedHid>(s));
    s->reports.clear();
    const std::string move = bytes({'A', 0x06, 0x10, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF});
    const std::string command = std::string("SBS") + std::string(13, '\0') + move;
    s->writeResults = {hidErrorNotFunctioning, 0};
    EXPECT_EQ(usb.Write(command), 0);
    ASSERT_EQ(s->reports.size(), 2u);
    EXPECT_EQ(reportCommand(s->reports[0], 16), command.substr(0, 16));
    EXPECT_EQ(reportCommand(s->reports[1], 15), move);

    // Busy at the second report: taken as well, and the command counts as sent.
    s->reports.clear();
    s->writeResults = {0, hidErrorNotFunctioning};
    EXPECT_EQ(usb.Write(command), 0);
    EXPECT_EQ(s->reports.size(), 2u);

    // Any other failure of the first report: nothing more goes out.
    s->reports.clear();
    s->writeResults = {87};
    EXPECT_EQ(usb.Write(command), 87);
    EXPECT_TRUE(s->reports.empty());
}

TEST(Usb, FailedReadAndReplug) {
    QueueMainLoop loop;
    setMainLoop(&loop);
    auto s = std::make_shared<ScriptedHid::State>();
    s->replies[10] = {block({{2, le32(0x21)}})};
    TfUsb usb(std::make_unique<ScriptedHid>(s));
    ASSERT_EQ(usb.ReadString(10), 0);
    EXPECT_EQ(usb.BufIn[2], 0x21);

    // Unplugged: ten attempts, then a zeroed block and the machine absent.
    s->readError = hidErrorNotConnected;
    const auto before = s->readCounts[10];
    EXPECT_EQ(usb.ReadString(10), hidErrorNotConnected);
    EXPECT_EQ(s->readCounts[10] - before, 10);
    EXPECT_EQ(usb.BufIn[2], 0);
    EXPECT_FALSE(usb.Present());

    // Plugged in again: the device change (posted to the main loop) lists it anew.
    s->readError = 0;
    s->devices = {{"dev2", "Vardimon", "GMN-0001", "SN2", true}};
    s->changed();
    EXPECT_EQ(loop.drain(), 1);
    EXPECT_TRUE(usb.VardimonExist());
    EXPECT_EQ(usb.device()->id, "dev2");
    setMainLoop(nullptr);
}

} // namespace
} // namespace korvane::test
