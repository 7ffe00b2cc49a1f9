// The configuration dialog as a window: filled through its real widgets on
// every page, refused and saved with Enter, the settings file read back key
// for key; US and SA screenshots; the dialogs the main window's menu items and
// the model path's double click open, closed by the test whatever they show;
// the calibration page of an identified machine with the calibration switch,
// opening the calibration dialog.
#include "../machine/MachineTestSupport.h"
#include "CalibrationDialog.h"
#include "DialogTestSupport.h"
#include "FltEdit.h"
#include "KonfigDialog.h"
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "MaterialDialog.h"
#include "ModelInfoDialog.h"
#include "Screenshots.h"
#include "SimHidBackend.h"
#include "SimMachine.h"
#include "TestSupport.h"

#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "machine/Ploter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace korvane;

namespace {

using test::child;
using test::fieldText;
using test::keepShown;
using test::press;
using test::typeInto;

// Runs `act` on the first modal window that opens, then closes that window if
// it is still open, so that a failed expectation cannot leave the test waiting
// in the dialog's event loop.
void whenModal(std::function<void(QWidget*)> act) {
    struct State {
        bool acted = false;
        QPointer<QWidget> target;
    };
    auto* timer = new QTimer;
    auto state = std::make_shared<State>();
    QObject::connect(timer, &QTimer::timeout, [timer, state, act] {
        if (!state->acted) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            state->acted = true;
            state->target = modal;
            QApplication::setActiveWindow(modal);
            act(modal);
            return;
        }
        if (state->target && state->target->isVisible()) {
            state->target->close();
            return;
        }
        timer->stop();
        timer->deleteLater();
    });
    timer->start(10);
}

class ConfigurationGui : public ::testing::Test {
  protected:
    void start(const std::string& language, std::vector<std::string> arguments = {}) {
        arguments.push_back(language);
        ui.messages.clear();
        test::resetState(ui, arguments);
        test::loadTexts(language);
        texts->arabski = language == "SA";
        texts->loadUnits();
        dataFolder = data.path();
    }

    test::RecordingUserInterface ui;
    test::TempDir data;
};

} // namespace

TEST_F(ConfigurationGui, FilledThroughItsWidgetsAndReadBackKeyForKey) {
    for (const char* language : {"US", "SA"}) {
        SCOPED_TRACE(language);
        std::filesystem::remove(data / "Konfig.cfg");
        start(language, {"Ethernet", "showPrinter3D"});
        settings.plikProjektu = "/p/Wing.prj";
        KonfigDialog dialog(false);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
        EXPECT_EQ(dialog.layoutDirection(),
                  std::string(language) == "SA" ? Qt::RightToLeft : Qt::LeftToRight);
        auto* pages = child<QTabWidget>(dialog, "pcKonfig");
        EXPECT_EQ(pages->currentWidget()->objectName(), "tsOgolne");
        EXPECT_FALSE(pages->isTabVisible(3)); // no calibration without the machine
        EXPECT_TRUE(child<QRadioButton>(dialog, "rbJednostka0")->isChecked());
        EXPECT_EQ(fieldText(dialog, "eRozdzielczosc"), "5.00");
        EXPECT_TRUE(child<QCheckBox>(dialog, "cbDrukarka3D")->isVisible());
        typeInto(child<QWidget>(dialog, "eRozdzielczosc"), "10");
        press(child<QRadioButton>(dialog, "rbJednostka1"));
        press(child<QCheckBox>(dialog, "cbSprzegNawigacyjny"));
        keepShown(dialog, std::string("configuration-general-") + language);

        pages->setCurrentIndex(1);
        QApplication::processEvents();
        EXPECT_EQ(dialog.logic().jednostka, 1);
        EXPECT_TRUE(child<QRadioButton>(dialog, "rbJednostka1")->isChecked());
        EXPECT_EQ(fieldText(dialog, "ePlytkaPomGrubosc"), "0.594"); // 15.1 mm in inches
        EXPECT_TRUE(child<QGroupBox>(dialog, "gbAdresIP")->isVisible());
        EXPECT_FALSE(child<QGroupBox>(dialog, "gbSerwis")->isVisible());
        typeInto(child<QWidget>(dialog, "ePlytkaPomGrubosc"), "1");
        const char* octets[] = {"192", "168", "1", "20"};
        for (int i = 0; i < 4; ++i)
            typeInto(child<QWidget>(dialog, QString("eIP%1").arg(i).toUtf8().constData()),
                     octets[i]);
        press(child<QCheckBox>(dialog, "cbEthernet"));
        QTest::keyClick(&dialog, Qt::Key_F10, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_TRUE(child<QGroupBox>(dialog, "gbSerwis")->isVisible());
        typeInto(child<QWidget>(dialog, "eWspRuchu"), "400");
        keepShown(dialog, std::string("configuration-machine-") + language);

        pages->setCurrentIndex(2);
        QApplication::processEvents();
        press(child<QCheckBox>(dialog, "cbPowiadomKoniecObrobki"));
        pages->setCurrentIndex(0);
        QTest::keyClick(&dialog, Qt::Key_Return);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, txt("Configuration", "brakOdbiorcy"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(pages->currentWidget()->objectName(), "tsPowiadomienia");
        EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(dialog, "eOdbiorca"));
        EXPECT_FALSE(std::filesystem::exists(data / "Konfig.cfg"));
        QTest::keyClicks(child<QLineEdit>(dialog, "eOdbiorca"), "HALL-PC");
        keepShown(dialog, std::string("configuration-notifications-") + language);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        ASSERT_TRUE(dialog.logic().zapisano);

        const std::string file = test::readFile(data / "Konfig.cfg");
        ASSERT_EQ(file.size(), settingsFileSize);
        SettingsBytes bytes;
        std::copy(file.begin(), file.end(), bytes.begin());
        const TUstawienia s = decodeSettings(bytes);
        EXPECT_EQ(s.jednostkaMiary, 1);
        EXPECT_EQ(s.plikProjektu, "/p/Wing.prj");
        EXPECT_EQ(s.rozdzielczosc, 10);
        EXPECT_DOUBLE_EQ(s.plytkaPomGrubosc, 25.4);
        EXPECT_EQ(s.plytkaPomPolozenie, 0);
        EXPECT_FALSE(s.powiadomKoniecGenWy);
        EXPECT_TRUE(s.powiadomKoniecObrobki);
        EXPECT_EQ(s.netSendOdbiorca, "HALL-PC");
        EXPECT_FALSE(s.sprzegNawigacyjny); // on by default, clicked off
        EXPECT_EQ(s.adresIP, (std::array<std::uint8_t, 4>{192, 168, 1, 20}));
        EXPECT_TRUE(s.ethernetConnection);
        EXPECT_FALSE(s.printer3D);
        EXPECT_EQ(pixelSize, 0.1);
        EXPECT_TRUE(resolutionChanged);
        EXPECT_EQ(motionFactor, 400.0f);
    }
}

TEST_F(ConfigurationGui, CalibrationPageWithTheSwitchAndAnIdentifiedMachine) {
    for (const char* language : {"US", "SA"}) {
        SCOPED_TRACE(language);
        start(language, {"calib"});
        test::resetMachine();
        sim::SimConfig config;
        config.product = "GMN-2030"; // a model that keeps its calibration itself
        auto machine = std::make_shared<sim::SimMachine>(config);
        usbLink = std::make_unique<TfUsb>(std::make_unique<sim::SimHidBackend>(machine));
        ReadMachineInfo();
        IdentifyMachine();
        ASSERT_TRUE(extendedStatus);

        KonfigDialog dialog(true);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
        auto* pages = child<QTabWidget>(dialog, "pcKonfig");
        EXPECT_TRUE(pages->isTabVisible(3));
        EXPECT_EQ(pages->currentWidget()->objectName(), "tsKalibracja");
        keepShown(dialog, std::string("configuration-calibration-") + language);

        bool opened = false;
        whenModal([&](QWidget* modal) {
            auto* calibration = qobject_cast<CalibrationDialog*>(modal);
            ASSERT_NE(calibration, nullptr);
            opened = true;
            EXPECT_EQ(child<QLabel>(*calibration, "txtCalibrationX")->text(), "1.00000000");
            keepShown(*calibration, std::string("configuration-calibration-dialog-") + language);
            QTest::keyClick(calibration, Qt::Key_Escape);
        });
        QTest::mouseClick(child<QPushButton>(dialog, "btnKalibracja"), Qt::LeftButton);
        EXPECT_TRUE(opened);
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        test::resetMachine();
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
}

TEST_F(ConfigurationGui, EscapeSavesNothing) {
    start("US");
    KonfigDialog dialog(false);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    typeInto(child<QWidget>(dialog, "eRozdzielczosc"), "20");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.logic().zapisano);
    EXPECT_FALSE(std::filesystem::exists(data / "Konfig.cfg"));
    EXPECT_EQ(pixelSize, 0);
}

TEST_F(ConfigurationGui, MainWindowOpensTheConfigurationMaterialAndModelDialogs) {
    test::StartedMainWindow started(ui, data.path());
    ASSERT_TRUE(started.started()) << started.failure();
    MainWindow& window = started.window();
    started.activate();

    auto* configuration = window.findChild<QAction*>("mKonfig");
    ASSERT_NE(configuration, nullptr);
    EXPECT_TRUE(configuration->isEnabled());
    bool opened = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<KonfigDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        opened = true;
        typeInto(child<QWidget>(*dialog, "eRozdzielczosc"), "4");
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    configuration->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(pixelSize, 0.25);
    EXPECT_EQ(settings.rozdzielczosc, 4);

    auto* material = window.findChild<QAction*>("mMaterial");
    ASSERT_NE(material, nullptr);
    opened = false;
    const TMaterial before = project->d.material;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<MaterialDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        opened = true;
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    material->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(project->d.material.rozmZ, before.rozmZ);
    EXPECT_EQ(project->d.material.zrodlo, before.zrodlo);

    // A double click on the model path shows the model information.
    test::writeFile(data / "part.stl", std::string(100, 'x'));
    modelExtents.plik_RAW = (data / "part.stl").string();
    modelExtents.maxX = 10;
    opened = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TfModelInfo*>(modal);
        ASSERT_NE(dialog, nullptr);
        opened = true;
        EXPECT_EQ(child<QLabel>(*dialog, "lPlikNzw")->text(), "part.stl");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTest::mouseDClick(child<QLabel>(window, "lSciezkaModelu"), Qt::LeftButton);
    EXPECT_TRUE(opened);

    // And one on the material path the stock model's.
    test::writeFile(data / "stock.stl", std::string(100, 'x'));
    materialExtents.plik_RAW = (data / "stock.stl").string();
    opened = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TfModelInfo*>(modal);
        ASSERT_NE(dialog, nullptr);
        opened = true;
        EXPECT_EQ(child<QLabel>(*dialog, "lPlikNzw")->text(), "stock.stl");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTest::mouseDClick(child<QLabel>(window, "lSciezkaMaterialu"), Qt::LeftButton);
    EXPECT_TRUE(opened);
    window.close();
}
