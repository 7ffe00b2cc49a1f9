#include "app/Konfig.h"

#include "foundation/CommandLine.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/Usb.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

const char* const section = "Configuration";

// Below a tenth of a cell per millimetre the raster has cells of a centimetre
// and more, and 0 would make the cell size infinite.
constexpr double lowestResolution = 0.1;
constexpr double highestResolution = 100;
// A measuring plate of a metre is a typing error.
constexpr double thickestPlate = 1000;

} // namespace

std::string recipientForFile(const std::string& name) {
    // At most 30 characters: UTF-8 bytes that do not continue a character.
    std::size_t end = 0;
    int characters = 0;
    for (; end < name.size(); ++end)
        if ((static_cast<unsigned char>(name[end]) & 0xC0) != 0x80 && ++characters > 30) break;
    return fromFileText(toFileText(std::string_view(name).substr(0, end), 30));
}

TfKonfig::TfKonfig(ConfigurationDialogView& view, bool pokazZaklKalib)
    : pokazZaklKalib(pokazZaklKalib), view_(view) {
    calibrationPage_ =
        extendedStatus && (hasSwitch("kalib") || hasSwitch("calib") || hasSwitch("service"));
    ipShown_ = hasSwitch("Ethernet");
    printerShown_ = hasSwitch("showPrinter3D");

    rozdzielczosc.SetNzwPola(txt(section, "lRozdzielczosc.Caption"));
    rozdzielczosc.setLimits(lowestResolution, highestResolution);
    rozdzielczosc.setFormat(FloatFormat::fixed, 15, 2);
    plytka.SetNzwPola(txt(section, "lPlytkaPomGrubosc.Caption"));
    plytka.setLimits(0, thickestPlate);
    plytka.setFormat(FloatFormat::fixed, 15, 3);
    for (int i = 0; i < 4; ++i) {
        adresIP[static_cast<std::size_t>(i)].SetNzwPola(txt(section, "lAdresIP.Caption") + " (" +
                                                        std::to_string(i + 1) + ")");
        adresIP[static_cast<std::size_t>(i)].setLimits(0, 255);
    }
    wspRuchu.SetNzwPola(txt(section, "lWspRuchu.Caption"));
    wspRuchu.setLimits(0, 999);
    przyspieszenie.SetNzwPola(txt(section, "lPrzyspieszenie.Caption"));
    przyspieszenie.setLimits(0, 100);

    // The file's values for the fields shown here; what the program changed in
    // memory since the last write and this dialog does not show stays.
    const TUstawienia inMemory = settings;
    readSettings();
    settings.plikProjektu = inMemory.plikProjektu;
    settings.modelKolor = inMemory.modelKolor;
    settings.modelSposobKreslenia = inMemory.modelSposobKreslenia;
    settings.modelPolysk = inMemory.modelPolysk;
    settings.ukladWsp = inMemory.ukladWsp;
    settings.plytkaPomPolozenie = inMemory.plytkaPomPolozenie;

    jednostka = std::clamp(settings.jednostkaMiary, 0, 2);
    plytka.changeunit(jednostka);
    rozdzielczosc.SetValue(settings.rozdzielczosc);
    sprzegNawigacyjny = settings.sprzegNawigacyjny;
    drukarka3D = settings.printer3D;
    plytka.SetValue(settings.plytkaPomGrubosc);
    for (std::size_t i = 0; i < 4; ++i) adresIP[i].SetValue(settings.adresIP[i]);
    ethernet = settings.ethernetConnection;
    powiadomKoniecGenWy = settings.powiadomKoniecGenWy;
    powiadomKoniecObrobki = settings.powiadomKoniecObrobki;
    odbiorca = settings.netSendOdbiorca;
    wygladzanie = smoothing;
    logPracy = jobLogOn;
    wspRuchu.SetValue(motionFactor);
    przyspieszenie.SetValue(machineParams.acceleration);
    rozdzielczoscWe = rozdzielczosc.GetValue();
    tajnePrzyspieszenieWkonfigu = przyspieszenie.GetValue();
}

void TfKonfig::show() {
    view_.showConfigFields();
    view_.showConfigPage(pokazZaklKalib && calibrationPage_ ? ConfigPage::calibration
                                                            : ConfigPage::general);
}

void TfKonfig::setUnit(int unit) {
    jednostka = std::clamp(unit, 0, 2);
    plytka.changeunit(jednostka);
    view_.showConfigFields();
}

void TfKonfig::toggleServiceOptions() {
    serviceShown = !serviceShown;
    view_.showConfigFields();
}

bool TfKonfig::refuse(const FltField& field, ConfigField id, ConfigPage page, bool integer) {
    const auto problem = integer ? field.intProblem() : field.floatProblem();
    if (!problem) return false;
    if (id == ConfigField::motionFactor || id == ConfigField::acceleration) {
        serviceShown = true;
        view_.showConfigFields();
    }
    view_.showConfigPage(page);
    view_.focusConfigField(id);
    showMessage(*problem, true);
    return true;
}

void TfKonfig::setMachineIp() {
    if (!usbLink || !usbLink->VardimonExist()) {
        showMessage(txt("Other", "bladWykonania") + "\n\r" + txt(section, "polaczUSB"), true, "IP");
        return;
    }
    for (std::size_t i = 0; i < 4; ++i)
        if (refuse(adresIP[i], static_cast<ConfigField>(static_cast<int>(ConfigField::ip0) + i),
                   ConfigPage::machine, true))
            return;
    std::string command = "SIP";
    for (const FltField& octet : adresIP)
        appendByte(command, static_cast<long long>(std::lround(octet.GetValue())));
    // The address goes over USB whichever link is in use.
    if (usbLink->Write(command) != 0)
        showMessage(txt("Other", "bladWykonania") + "\n\r" + txt(section, "polaczUSB"), true, "IP");
}

TUstawienia TfKonfig::edited() const {
    TUstawienia s = settings;
    s.jednostkaMiary = jednostka;
    s.rozdzielczosc = rozdzielczosc.GetValue();
    s.sprzegNawigacyjny = sprzegNawigacyjny;
    s.plytkaPomGrubosc = plytka.GetValue();
    for (std::size_t i = 0; i < 4; ++i)
        s.adresIP[i] = static_cast<std::uint8_t>(std::lround(adresIP[i].GetValue()));
    s.ethernetConnection = ethernet;
    s.powiadomKoniecGenWy = powiadomKoniecGenWy;
    s.powiadomKoniecObrobki = powiadomKoniecObrobki;
    s.netSendOdbiorca = recipientForFile(odbiorca);
    s.printer3D = drukarka3D;
    return s;
}

bool TfKonfig::ok() {
    if (refuse(rozdzielczosc, ConfigField::resolution, ConfigPage::general, false) ||
        refuse(plytka, ConfigField::plate, ConfigPage::machine, false))
        return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (refuse(adresIP[i], static_cast<ConfigField>(static_cast<int>(ConfigField::ip0) + i),
                   ConfigPage::machine, true))
            return false;
    if (refuse(wspRuchu, ConfigField::motionFactor, ConfigPage::machine, false) ||
        refuse(przyspieszenie, ConfigField::acceleration, ConfigPage::machine, true))
        return false;
    if ((powiadomKoniecGenWy || powiadomKoniecObrobki) && trimSpaces(odbiorca).empty()) {
        view_.showConfigPage(ConfigPage::notifications);
        view_.focusConfigField(ConfigField::recipient);
        showMessage(txt(section, "brakOdbiorcy"), true);
        return false;
    }

    // The file first: a settings file that cannot be written leaves the
    // program's settings as they were and the dialog open.
    const TUstawienia before = settings;
    settings = edited();
    if (!writeSettings()) {
        settings = before;
        showMessage(txt("Other", "bladWykonania") + "\n\r" +
                        (dataFolder / settingsFileName).string(),
                    true);
        return false;
    }
    const double resolution = settings.rozdzielczosc;
    pixelSize = 1.0 / resolution;
    effectiveResolution = resolution;
    resolutionChanged = resolution != rozdzielczoscWe;
    smoothing = wygladzanie && machineParams.newSpeedEncoding != 0;
    jobLogOn = logPracy;
    motionFactor = static_cast<float>(wspRuchu.GetValue());
    zapisano = true;
    return true;
}

void TfKonfig::applyAfterClose() {
    if (!zapisano) return;
    const double acceleration = przyspieszenie.GetValue();
    if (acceleration == tajnePrzyspieszenieWkonfigu) return;
    const long long rounded = std::llround(acceleration);
    std::string command = PadCommand16("SA");
    appendLE32(command, rounded);
    // Ramps follow the machine's acceleration: one it has not taken stays out.
    if (SendCommand(command) == 0) machineParams.acceleration = static_cast<std::int32_t>(rounded);
}

} // namespace korvane
