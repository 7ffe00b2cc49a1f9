// The configuration dialog's logic: the settings read at opening, the file
// written by OK byte for byte, the checks with their messages, pages and
// focus, hostile input in every numeric field, the unit of the plate, the IP
// and acceleration commands to the machine and the pages shown by switches.
#include "../machine/MachineTestSupport.h"
#include "TestSupport.h"

#include "app/Konfig.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korvane;

namespace {

class Recorder : public ConfigurationDialogView {
  public:
    void showConfigFields() override { ++shown; }
    void showConfigPage(ConfigPage p) override { page = p; }
    void focusConfigField(ConfigField f) override { focus = f; }
    int shown = 0;
    std::optional<ConfigPage> page;
    std::optional<ConfigField> focus;
};

double doubleAt(const std::string& bytes, std::size_t at) {
    double v;
    std::memcpy(&v, bytes.data() + at, 8);
    return v;
}

class ConfigurationDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::resetMachine();
        test::loadTexts("US");
        dataFolder = dir.path();
    }
    void TearDown() override { usbLink.reset(); }
    std::filesystem::path file() const { return dir / "Konfig.cfg"; }
    std::string lastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
    // A USB link to a scripted machine that records what it is sent.
    std::shared_ptr<test::ScriptedHid::State> connect() {
        auto state = std::make_shared<test::ScriptedHid::State>();
        usbLink = std::make_unique<TfUsb>(std::make_unique<test::ScriptedHid>(state));
        state->reports.clear(); // what the link sends on its own when it opens
        return state;
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    Recorder view;
};

} // namespace

TEST_F(ConfigurationDialog, OpensWithTheFileAndKeepsWhatOnlyMemoryKnows) {
    TUstawienia stored;
    stored.jednostkaMiary = 1;
    stored.plikProjektu = "/old/Wing.prj";
    stored.rozdzielczosc = 8;
    stored.plytkaPomGrubosc = 25.4;
    stored.netSendOdbiorca = "WORKSHOP";
    stored.adresIP = {192, 168, 1, 20};
    stored.sprzegNawigacyjny = true;
    stored.modelKolor = 0x112233;
    const SettingsBytes bytes = encodeSettings(stored);
    test::writeFile(file(), std::string(bytes.begin(), bytes.end()));
    settings.plikProjektu = "/new/Boat.prj";
    settings.modelKolor = 0x445566;
    machineParams.acceleration = 4;

    TfKonfig dlg(view, false);
    dlg.show();
    EXPECT_EQ(view.page, ConfigPage::general);
    EXPECT_EQ(dlg.jednostka, 1);
    EXPECT_EQ(dlg.rozdzielczosc.text(), "8.00");
    EXPECT_EQ(dlg.plytka.text(), "1.000"); // 25.4 mm in inches
    EXPECT_EQ(dlg.adresIP[0].text(), "192");
    EXPECT_EQ(dlg.adresIP[3].text(), "20");
    EXPECT_EQ(dlg.odbiorca, "WORKSHOP");
    EXPECT_TRUE(dlg.sprzegNawigacyjny);
    EXPECT_EQ(dlg.wspRuchu.text(), "45");
    EXPECT_EQ(dlg.przyspieszenie.text(), "4");
    EXPECT_EQ(dlg.rozdzielczoscWe, 8);
    EXPECT_EQ(dlg.tajnePrzyspieszenieWkonfigu, 4);
    // The project path and the view fields changed since the last write stay.
    EXPECT_EQ(settings.plikProjektu, "/new/Boat.prj");
    EXPECT_EQ(settings.modelKolor, 0x445566);
}

TEST_F(ConfigurationDialog, WithoutAFileTheDefaultsAreShown) {
    TfKonfig dlg(view, false);
    EXPECT_EQ(dlg.rozdzielczosc.text(), "5.00");
    EXPECT_EQ(dlg.plytka.text(), "15.100");
    EXPECT_TRUE(dlg.sprzegNawigacyjny);
    EXPECT_EQ(dlg.odbiorca, "");
}

TEST_F(ConfigurationDialog, OkWritesEveryFieldAtItsPlace) {
    settings.plikProjektu = "/p/Wing.prj";
    machineParams.newSpeedEncoding = 1;
    TfKonfig dlg(view, false);
    dlg.setUnit(2);
    dlg.rozdzielczosc.setText("10");
    dlg.plytka.setText("0.05"); // feet
    dlg.sprzegNawigacyjny = false;
    dlg.drukarka3D = true;
    const char* octets[] = {"10", "0", "0", "254"};
    for (std::size_t i = 0; i < 4; ++i) dlg.adresIP[i].setText(octets[i]);
    dlg.ethernet = true;
    dlg.powiadomKoniecGenWy = true;
    dlg.odbiorca = "HALL-PC";
    dlg.wygladzanie = true;
    dlg.logPracy = false;
    dlg.wspRuchu.setText("400");
    ASSERT_TRUE(dlg.ok());
    EXPECT_TRUE(dlg.zapisano);

    const std::string f = test::readFile(file());
    ASSERT_EQ(f.size(), 368u);
    EXPECT_EQ(f.substr(0, 4), std::string("\x02\0\0\0", 4));
    EXPECT_EQ(f.substr(4, 12), std::string("\x0B/p/Wing.prj"));
    EXPECT_EQ(doubleAt(f, 260), 10.0);
    EXPECT_DOUBLE_EQ(doubleAt(f, 288), 15.24); // 0.05 ft
    EXPECT_EQ(f[325], 1);
    EXPECT_EQ(f[326], 0);
    EXPECT_EQ(f.substr(327, 8), "\x07HALL-PC");
    EXPECT_EQ(f[358], 0);
    EXPECT_EQ(f.substr(359, 4), std::string("\x0A\0\0\xFE", 4));
    EXPECT_EQ(f[363], 1);
    EXPECT_EQ(f[364], 1);

    EXPECT_EQ(pixelSize, 0.1);
    EXPECT_EQ(effectiveResolution, 10);
    EXPECT_TRUE(resolutionChanged);
    EXPECT_TRUE(smoothing);
    EXPECT_FALSE(jobLogOn);
    EXPECT_EQ(motionFactor, 400.0f);
}

TEST_F(ConfigurationDialog, SmoothingNeedsTheNewSpeedEncodingAndAnUnchangedResolutionIsNoChange) {
    machineParams.newSpeedEncoding = 0;
    TfKonfig dlg(view, false);
    dlg.wygladzanie = true;
    ASSERT_TRUE(dlg.ok());
    EXPECT_FALSE(smoothing);
    EXPECT_FALSE(resolutionChanged);
    EXPECT_EQ(pixelSize, 0.2);
}

TEST_F(ConfigurationDialog, NotificationWithoutRecipientStaysOnTheNotificationsPage) {
    TfKonfig dlg(view, false);
    dlg.powiadomKoniecGenWy = true;
    dlg.odbiorca = "   ";
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(view.page, ConfigPage::notifications);
    EXPECT_EQ(view.focus, ConfigField::recipient);
    EXPECT_EQ(lastMessage(),
              "Enter the name of the computer that is to receive the notifications.");
    EXPECT_TRUE(ui.messages.back().error);
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_FALSE(dlg.zapisano);

    dlg.powiadomKoniecGenWy = false;
    dlg.powiadomKoniecObrobki = true;
    EXPECT_FALSE(dlg.ok());
    dlg.odbiorca = "HALL";
    EXPECT_TRUE(dlg.ok());
}

TEST_F(ConfigurationDialog, HostileInputInEveryNumericFieldIsNeverSaved) {
    struct Case {
        FltField TfKonfig::*field = nullptr;
        int ip = -1;
        ConfigField id;
        ConfigPage page;
        std::vector<std::string> refused;
    };
    const std::vector<std::string> garbage = {"",    "abc", "12a", "--5",  "1.2.3", "1,5",
                                              "nan", "NaN", "inf", "-inf", "1e999", "+-1"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.end(), garbage.begin(), garbage.end());
        return more;
    };
    const std::vector<Case> cases = {
        {&TfKonfig::rozdzielczosc, -1, ConfigField::resolution, ConfigPage::general,
         with({"100.01", "0.09", "0", "-1", "1e308", "1e-300"})},
        {&TfKonfig::plytka, -1, ConfigField::plate, ConfigPage::machine,
         with({"1000.001", "-0.001", "1e308"})},
        {nullptr, 0, ConfigField::ip0, ConfigPage::machine, with({"256", "-1", "1.5", "1e-300"})},
        {nullptr, 3, ConfigField::ip3, ConfigPage::machine, with({"255.5", "300"})},
        {&TfKonfig::wspRuchu, -1, ConfigField::motionFactor, ConfigPage::machine,
         with({"999.01", "-0.1"})},
        {&TfKonfig::przyspieszenie, -1, ConfigField::acceleration, ConfigPage::machine,
         with({"100.5", "101", "-1", "2.5"})},
    };
    for (const Case& c : cases)
        for (const std::string& text : c.refused) {
            SCOPED_TRACE(text);
            view = Recorder{};
            TfKonfig dlg(view, false);
            FltField& field =
                c.field ? dlg.*(c.field) : dlg.adresIP[static_cast<std::size_t>(c.ip)];
            field.setText(text);
            const std::size_t before = ui.messages.size();
            EXPECT_FALSE(dlg.ok());
            EXPECT_EQ(view.focus, c.id);
            EXPECT_EQ(view.page, c.page);
            ASSERT_EQ(ui.messages.size(), before + 1);
            EXPECT_EQ(ui.messages.back().caption, "Error");
            EXPECT_FALSE(std::filesystem::exists(file()));
            EXPECT_EQ(pixelSize, 0);
        }
}

TEST_F(ConfigurationDialog, MessagesOfTheResolutionField) {
    TfKonfig dlg(view, false);
    dlg.rozdzielczosc.setText("");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(), "Please fill in the field  »Resolution [cells/mm]«");
    dlg.rozdzielczosc.setText("150");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(), "In the field  »Resolution [cells/mm]«  the value is out of the "
                             "permitted range.\r\n( min= 0.10; max= 100.00 )");
    dlg.przyspieszenie.setText("2.5");
    dlg.rozdzielczosc.setText("100");
    EXPECT_FALSE(dlg.ok());
    EXPECT_TRUE(dlg.serviceShown); // a refused service option is shown
    EXPECT_EQ(lastMessage(), "In the field  »Acceleration« a whole number is required\r\n"
                             "Permitted range (min= 0.00; max= 100.00 )");
}

TEST_F(ConfigurationDialog, TheKeysOfTheFieldsDropLettersAndCommas) {
    TfKonfig dlg(view, false);
    EXPECT_FALSE(dlg.rozdzielczosc.key('a', false, true).accepted);
    EXPECT_FALSE(dlg.rozdzielczosc.key(',', false, true).accepted);
    EXPECT_TRUE(dlg.plytka.key(',', true, true).accepted); // the keypad's decimal key
    EXPECT_EQ(dlg.plytka.key(',', true, true).character, '.');
    EXPECT_TRUE(dlg.adresIP[0].key('7', false, true).accepted);
}

TEST_F(ConfigurationDialog, TheUnitShowsThePlateAtOnceAndKeepsItsMillimetres) {
    TfKonfig dlg(view, false);
    EXPECT_EQ(dlg.plytka.text(), "15.100");
    const int shown = view.shown;
    dlg.setUnit(1);
    EXPECT_EQ(dlg.plytka.text(), "0.594");
    EXPECT_GT(view.shown, shown);
    dlg.setUnit(2);
    EXPECT_EQ(dlg.plytka.text(), "0.0495");
    dlg.setUnit(0);
    EXPECT_EQ(dlg.plytka.text(), "15.100");
    dlg.setUnit(2);
    ASSERT_TRUE(dlg.ok());
    EXPECT_EQ(settings.plytkaPomGrubosc, 15.1);
    EXPECT_EQ(settings.jednostkaMiary, 2);
}

TEST_F(ConfigurationDialog, ASettingsFileThatCannotBeWrittenKeepsEverything) {
    std::filesystem::create_directory(file()); // a folder where the file should be
    settings.rozdzielczosc = 5;
    pixelSize = 0.2;
    TfKonfig dlg(view, false);
    dlg.rozdzielczosc.setText("10");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(),
              "The command could not be carried out.\n\r" + (dir / "Konfig.cfg").string());
    EXPECT_EQ(pixelSize, 0.2);
    EXPECT_FALSE(resolutionChanged);
    EXPECT_EQ(settings.rozdzielczosc, 5);
    EXPECT_FALSE(dlg.zapisano);
}

TEST_F(ConfigurationDialog, TheMachineIpGoesOverUsbOnly) {
    TfKonfig dlg(view, false);
    const char* octets[] = {"192", "168", "1", "20"};
    for (std::size_t i = 0; i < 4; ++i) dlg.adresIP[i].setText(octets[i]);
    dlg.setMachineIp();
    EXPECT_EQ(lastMessage(),
              "The command could not be carried out.\n\rConnect the machine with the USB cable "
              "first.");
    EXPECT_EQ(ui.messages.back().caption, "IP");

    auto machine = connect();
    dlg.adresIP[3].setText("256");
    dlg.setMachineIp();
    EXPECT_TRUE(machine->reports.empty());
    EXPECT_EQ(view.focus, ConfigField::ip3);
    dlg.adresIP[3].setText("20");
    dlg.setMachineIp();
    ASSERT_EQ(machine->reports.size(), 1u);
    EXPECT_EQ(test::reportCommand(machine->reports[0], 8), std::string("SIP\xC0\xA8\x01\x14\0", 8));
}

TEST_F(ConfigurationDialog, AChangedAccelerationIsSentAndThenKept) {
    machineParams.acceleration = 4;
    {
        TfKonfig dlg(view, false);
        dlg.przyspieszenie.setText("4");
        ASSERT_TRUE(dlg.ok());
        auto machine = connect();
        dlg.applyAfterClose();
        EXPECT_TRUE(machine->reports.empty()); // unchanged: nothing sent
    }
    {
        // Without a machine the new value is not taken.
        usbLink.reset();
        TfKonfig dlg(view, false);
        dlg.przyspieszenie.setText("10");
        ASSERT_TRUE(dlg.ok());
        dlg.applyAfterClose();
        EXPECT_EQ(machineParams.acceleration, 4);
    }
    auto machine = connect();
    TfKonfig dlg(view, false);
    dlg.przyspieszenie.setText("10");
    ASSERT_TRUE(dlg.ok());
    dlg.applyAfterClose();
    ASSERT_EQ(machine->reports.size(), 2u);
    EXPECT_EQ(test::reportCommand(machine->reports[0], 16),
              std::string("SA\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(test::reportCommand(machine->reports[1], 4), std::string("\x0A\0\0\0", 4));
    EXPECT_EQ(machineParams.acceleration, 10);
}

TEST_F(ConfigurationDialog, ACancelledDialogSendsNothing) {
    auto machine = connect();
    TfKonfig dlg(view, false);
    dlg.przyspieszenie.setText("10");
    dlg.applyAfterClose();
    EXPECT_TRUE(machine->reports.empty());
}

TEST_F(ConfigurationDialog, PagesAndGroupsFollowTheSwitchesAndTheMachine) {
    {
        TfKonfig dlg(view, true);
        dlg.show();
        EXPECT_FALSE(dlg.calibrationPageShown());
        EXPECT_FALSE(dlg.ipShown());
        EXPECT_FALSE(dlg.printerShown());
        EXPECT_EQ(view.page, ConfigPage::general);
        EXPECT_FALSE(dlg.serviceShown);
        dlg.toggleServiceOptions();
        EXPECT_TRUE(dlg.serviceShown);
        dlg.toggleServiceOptions();
        EXPECT_FALSE(dlg.serviceShown);
    }
    programArguments = {"calib", "Ethernet", "showPrinter3D"};
    {
        TfKonfig dlg(view, true); // no extended status: no calibration
        EXPECT_FALSE(dlg.calibrationPageShown());
        EXPECT_TRUE(dlg.ipShown());
        EXPECT_TRUE(dlg.printerShown());
    }
    extendedStatus = true;
    TfKonfig dlg(view, true);
    dlg.show();
    EXPECT_TRUE(dlg.calibrationPageShown());
    EXPECT_EQ(view.page, ConfigPage::calibration);
}

TEST(ConfigurationRecipient, CutToThirtyCharactersThatTheFileHolds) {
    test::RecordingUserInterface ui;
    test::resetState(ui);
    EXPECT_EQ(recipientForFile("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"),
              "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    EXPECT_EQ(recipientForFile("HALL"), "HALL");
    // Twenty Arabic letters: the byte-order mark and 13 of them fill 30 bytes.
    std::string arabic;
    for (int i = 0; i < 20; ++i) arabic += "\xD8\xB3";
    EXPECT_EQ(recipientForFile(arabic), arabic.substr(0, 26));
}
