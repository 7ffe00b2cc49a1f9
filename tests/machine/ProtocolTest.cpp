#include "MachineTestSupport.h"

#include "machine/Ploter.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

class Protocol : public ScriptedMachineTest {
  protected:
    std::vector<std::string> sent(std::size_t length) const {
        std::vector<std::string> out;
        for (const auto& r : hid->reports) out.push_back(reportCommand(r, length));
        return out;
    }
};

TEST_F(Protocol, ClassicStatusIsSignExtendedAndReadUntilSettled) {
    hid->replies[10] = {block({{1, bytes({0x5A})}, {2, le32(0x80000008)}, {6, le32(-1000)}}),
                        block({{1, bytes({0x5A})},
                               {2, le32(0x80000201)},
                               {6, le32(-1000)},
                               {10, le32(20)},
                               {14, le32(-30)}})};
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(hid->readCounts[10], 2); // bit 3 made it read again
    EXPECT_EQ(plotstate.StateExtend, 0xFFFFFFFF80000201ull);
    EXPECT_EQ(plotstate.state, 0x01);
    EXPECT_EQ(plotstate.PowerMaska, 0x5A);
    EXPECT_EQ(plotstate.realpos.x, -1000);
    EXPECT_EQ(plotstate.realpos.z, -30);
    EXPECT_EQ(hid->readCounts[24], 0);
}

TEST_F(Protocol, ExtendedStatusLayout) {
    extendedStatus = true;
    std::string word = le32(0x00000200) + le32(0x40000000);
    hid->replies[10] = {block({{6, word}, {14, le32(11)}, {18, le32(22)}, {22, le32(-33)}})};
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(plotstate.StateExtend, 0x4000000000000200ull);
    EXPECT_EQ(plotstate.realpos.y, 22);
    EXPECT_EQ(plotstate.realpos.z, -33);
    EXPECT_EQ(hid->readCounts[24], 1);
    EXPECT_FALSE(InverterOk());
    modelVariant = true;
    EXPECT_TRUE(InverterOk());
}

TEST_F(Protocol, UnsettledStatusEndsAtTheDeadline) {
    machineWaitLimit = std::chrono::milliseconds(200);
    hid->replies[10] = {block({{2, le32(0x08)}})};
    EXPECT_FALSE(ReadStatus());
    hid->replies[10] = {block({{2, le32(0x01)}})};
    EXPECT_FALSE(WaitIdle());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Ploter", "brakLacznosciZploterem"));
}

TEST_F(Protocol, IndexedReads) {
    machineParams.stepsX = 2;
    machineParams.stepsY = 2;
    machineParams.stepsZ = 4;
    hid->replies[11] = {block({{2, le32(979)}, {6, le32(1958)}, {10, le32(-5333)}})};
    ReadWorkOrigin();
    EXPECT_EQ(plotstate.pos0.x, 489.5f);
    EXPECT_EQ(plotstate.pos0.y, 979.0f);
    EXPECT_EQ(plotstate.pos0.z, -1333.25f);

    // Classic speeds: LE16 times speedFactor (3) times stepsX (2).
    hid->replies[12] = {block({{0, bytes({1})},
                               {2, le16(100)},
                               {4, le16(200)},
                               {6, le16(300)},
                               {8, le16(400)},
                               {12, le16(50)}})};
    ReadSpeeds();
    EXPECT_EQ(plotstate.speedp, 600);
    EXPECT_EQ(plotstate.speedr, 1200);
    EXPECT_EQ(plotstate.speedpol, 2400);
    EXPECT_EQ(plotstate.speed, 1200);
    EXPECT_EQ(plotstate.speedc, 300);

    // New encoding: LE32 times speedFactor, the current speed at most 65535.
    machineParams.newSpeedEncoding = 1;
    hid->replies[12] = {
        block({{0, bytes({3})}, {2, le32(10)}, {14, le32(70000)}, {22, le32(70000)}})};
    ReadSpeeds();
    EXPECT_EQ(plotstate.speedp, 30);
    EXPECT_EQ(plotstate.speedpol, 210000);
    EXPECT_EQ(plotstate.speed, 210000);
    EXPECT_EQ(plotstate.speedc, 65535);

    hid->replies[13] = {block({{0, bytes({2})}, {6, le16(1234)}})};
    ReadPower();
    EXPECT_EQ(plotstate.sel_power, 2);
    EXPECT_EQ(plotstate.power, 1234);
    hid->replies[13] = {block({{0, bytes({5})}, {12, le16(99)}})};
    ReadPower();
    EXPECT_EQ(plotstate.power, 1234); // slot 5 leaves the power alone

    hid->replies[14] = {
        block({{2, le32(600)}, {6, le32(400)}, {10, le32(150)}, {14, le32(777)}, {18, le32(12)}})};
    hid->replies[19] = {block({{0, bytes({6, 12})}, {10, le16(345)}})};
    ReadMachineInfo();
    EXPECT_EQ(plotstate.info0, "Vardimon");
    EXPECT_EQ(plotstate.info1, "XKC-3020");
    EXPECT_EQ(plotstate.info2, "SN1");
    EXPECT_FLOAT_EQ(workArea.y, 400);
    EXPECT_EQ(plotstate.info_time, 777);
    EXPECT_EQ(plotstate.info_ilpl, 12);
    EXPECT_EQ(ReadFirmwareVersion(), "6.12.345");

    hid->replies[17] = {block({{2, bytes({7})}, {6, bytes({5})}})};
    EXPECT_EQ(ReadDriverError(), 7);
    EXPECT_EQ(DriverErrorAxes(driverErrorAxisMask), "X Z ");

    std::string temps;
    appendFloat32(temps, 180.5f);
    appendFloat32(temps, 60.25f);
    hid->replies[20] = {block({{2, temps}})};
    ReadHeadTemperatures();
    EXPECT_FLOAT_EQ(headTemperatureRead[0], 180.5f);
    EXPECT_FLOAT_EQ(headTemperatureRead[1], 60.25f);
}

TEST_F(Protocol, CommandBytes) {
    plotstate.sel_power = 3;
    plotstate.power = 300;
    fwMajor = 5;
    SetPower();
    fwMajor = 6;
    SetPower();
    plotstate.pos0 = {1000, 2000, -3000};
    SetWorkOriginXY();
    SetWorkOriginZ();
    StopMotion();
    const auto cmds = sent(9);
    ASSERT_EQ(cmds.size(), 5u);
    EXPECT_EQ(cmds[0].substr(0, 4), bytes({'T', 3, 44, 0}));
    EXPECT_EQ(cmds[1].substr(0, 6), std::string("T") + bytes({3}) + le32(300));
    // 1000 · 0.979415 = 979.4, 2000 · 0.979415 = 1958.8, -3000 · 5.33333 = -15999.99.
    EXPECT_EQ(cmds[2], "U" + le32(979) + le32(1959));
    EXPECT_EQ(cmds[3].substr(0, 5), "N" + le32(-16000));
    EXPECT_EQ(cmds[4].substr(0, 2), bytes({'Y', 0}));

    // The spindle: off keeps the power slot, on uses channel 2.
    hid->reports.clear();
    hid->replies[10] = {block({{2, le32(4)}})};
    ReadStatus();
    ToggleSpindle();
    hid->replies[10] = {block({{2, le32(0)}})};
    ReadStatus();
    ToggleSpindle();
    EXPECT_EQ(sent(3), (std::vector<std::string>{bytes({'R', 0, 3}), bytes({'R', 1, 2})}));
}

TEST_F(Protocol, SetSpeedBySlotAndEncoding) {
    hid->replies[10] = {block({})};
    plotstate.sel_speed = 1;
    hid->replies[12] = {block({{0, bytes({1})}})};
    // Classic: LE16 of round(round(3000 / 0.979415) / 3) = round(3063 / 3) = 1021.
    SetSpeed(3000);
    EXPECT_EQ(sent(4)[0], bytes({'V', 1, 0xFD, 0x03}));

    hid->reports.clear();
    machineParams.newSpeedEncoding = 1;
    SetSpeed(3000); // LE32 of 3000 / 3
    EXPECT_EQ(sent(6)[0], bytes({'V', 1, 0xE8, 0x03, 0, 0}));

    hid->reports.clear();
    machineParams.newSpeedEncoding = 0;
    EXPECT_THROW(SetSpeed(1e9), MachineRangeError);
    EXPECT_TRUE(hid->reports.empty());
}

TEST_F(Protocol, SendPathFailures) {
    hid->writeError = 87;
    EXPECT_EQ(SendCommand("Y"), 87);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "87");
    EXPECT_EQ(SendCommand(""), 0);

    hid->writeError = 0;
    hid->devices.clear();
    usbLink->deviceChange();
    EXPECT_EQ(SendCommand("Y"), usbNotPresent); // retried, then silent
    EXPECT_EQ(ui.messages.size(), 1u);
    usbLink.reset();
    EXPECT_EQ(SendCommand("Y"), noMachine);
}

TEST_F(Protocol, UsbRetriesKeepTheWindowDrawingAndSendTheCommandOnce) {
    hid->devices.clear();
    usbLink->deviceChange();
    // The machine is plugged in again during the third pause between tries.
    int pumps = 0;
    machineWaitPump = [&] {
        if (++pumps == 3) {
            hid->devices = ScriptedHid::State().devices;
            usbLink->deviceChange();
        }
    };
    EXPECT_EQ(SendCommand("Y"), 0);
    EXPECT_GE(pumps, 3);
    EXPECT_EQ(sent(1), std::vector<std::string>{"Y"});
    EXPECT_TRUE(ui.messages.empty());
}

TEST(EthernetLayout, StatusBlockByFirmware) {
    RecordingUserInterface ui;
    resetState(ui);
    resetMachine();
    machineParams.stepsX = machineParams.stepsY = machineParams.stepsZ = 2;
    machineParams.speedFactor = 2;
    for (int fw : {6, 7}) {
        fwMajor = static_cast<std::uint16_t>(fw);
        const std::size_t s = fw >= 7 ? 8 : 0;
        ReplyBlock b{};
        auto put = [&](std::size_t at, const std::string& v) {
            for (std::size_t i = 0; i < v.size(); ++i) b[at + i] = static_cast<std::uint8_t>(v[i]);
        };
        put(3, bytes({0x77}));
        put(4, le32(0x80000205));
        put(8, le32(100));
        put(12, le32(-200));
        put(16, le32(-300));
        put(20, le32(41));
        put(24, le32(42));
        put(s + 24, le32(2001));
        put(s + 28, le32(4000));
        put(s + 32, le32(-6000));
        put(s + 40, le32(600));
        put(s + 52, le32(99));
        put(s + 56, le32(5));
        put(s + 62, bytes({2}));
        put(s + 68, le32(1500));
        put(s + 80, le32(40000));
        put(s + 90, bytes({9}));
        put(s + 92 + 10, le16(321));
        decodeEthernetStatus(b);
        EXPECT_EQ(plotstate.StateExtend, 0x80000205ull); // taken unsigned
        EXPECT_EQ(plotstate.state, 5);
        EXPECT_EQ(plotstate.PowerMaska, 0x77);
        EXPECT_EQ(plotstate.realpos.y, -200);
        EXPECT_EQ(plotstate.selectedZ, fw >= 7 ? 41 : 0);
        EXPECT_EQ(plotstate.selectedV, fw >= 7 ? 42 : 0);
        EXPECT_FLOAT_EQ(plotstate.pos0.x, 1000); // round(2001 / 2), halves to even
        EXPECT_FLOAT_EQ(plotstate.pos0.z, -3000);
        EXPECT_FLOAT_EQ(workArea.x, 600);
        EXPECT_EQ(plotstate.info_time, 99);
        EXPECT_EQ(plotstate.sel_speed, 2);
        EXPECT_EQ(plotstate.speedr, 3000);
        EXPECT_EQ(plotstate.speedc, 65535);
        EXPECT_EQ(plotstate.sel_power, 5);
        EXPECT_EQ(plotstate.power, 321);
        EXPECT_FLOAT_EQ(plotstate.abspos.z, -150);
    }
}

TEST(EthernetLayout, InformationBlock) {
    RecordingUserInterface ui;
    resetState(ui);
    resetMachine();
    std::string reply = "junk VARDIMON";
    reply += std::string(13, '.') + "GMN-0001" + std::string(13, '.') + "SN000042 ver712 rest";
    plotstate.info1 = "kept";
    decodeEthernetInfo(reply);
    EXPECT_EQ(plotstate.info0, "VARDIMON");
    EXPECT_EQ(plotstate.info1, "GMN-0001");
    EXPECT_EQ(plotstate.info2, "SN000042");
    EXPECT_EQ(fwMajor, 7);
    EXPECT_EQ(fwMinor, 12);

    decodeEthernetInfo("no maker here ver7x2");
    EXPECT_EQ(plotstate.info1, "GMN-0001"); // left as it was
    EXPECT_EQ(fwMajor, 0);
    EXPECT_EQ(fwMinor, 0);
}

} // namespace
} // namespace korvane::test
