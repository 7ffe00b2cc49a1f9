#pragma once

#include "app/FltEdit.h"
#include "foundation/Settings.h"

#include <array>
#include <string>

// The configuration dialog's logic: the settings shown on its pages, the
// hidden service options, the machine's IP address, the checks of OK, and the
// settings file and machine parameters written back.
namespace korvane {

enum class ConfigPage { general, machine, notifications, calibration };

enum class ConfigField {
    unit,
    resolution,
    plate,
    ip0,
    ip1,
    ip2,
    ip3,
    recipient,
    motionFactor,
    acceleration
};

class ConfigurationDialogView {
  public:
    virtual ~ConfigurationDialogView() = default;
    // Shows every field from the state, with the pages and groups it makes
    // visible.
    virtual void showConfigFields() = 0;
    virtual void showConfigPage(ConfigPage page) = 0;
    virtual void focusConfigField(ConfigField field) = 0;
};

class TfKonfig {
  public:
    // Reads the settings file again and shows it; `pokazZaklKalib` opens the
    // dialog on its calibration page when that page is shown.
    TfKonfig(ConfigurationDialogView& view, bool pokazZaklKalib);

    void show();
    // The user chose a unit: the plate thickness is shown in it at once.
    void setUnit(int unit);
    // Ctrl+Alt+F10: shows or hides the service options.
    void toggleServiceOptions();
    // Sends the typed address to the machine over USB.
    void setMachineIp();
    // OK: the checks, then the settings stored and written; true when the
    // dialog may close.
    bool ok();
    // After a saved dialog has closed: a changed acceleration goes to the
    // machine and, once taken, into the machine parameters.
    void applyAfterClose();

    // Pages and groups shown.
    bool calibrationPageShown() const { return calibrationPage_; }
    bool ipShown() const { return ipShown_; }
    bool printerShown() const { return printerShown_; }
    bool serviceShown = false;

    bool pokazZaklKalib;
    double rozdzielczoscWe = 0;             // the resolution shown at opening
    double tajnePrzyspieszenieWkonfigu = 0; // the acceleration shown at opening
    bool zapisano = false;

    int jednostka = 0;
    FltField rozdzielczosc{false};
    bool sprzegNawigacyjny = false;
    bool drukarka3D = false;
    FltField plytka{true};
    std::array<FltField, 4> adresIP{FltField{false}, FltField{false}, FltField{false},
                                    FltField{false}};
    bool ethernet = false;
    bool powiadomKoniecGenWy = false;
    bool powiadomKoniecObrobki = false;
    std::string odbiorca;
    bool wygladzanie = false;
    bool logPracy = false;
    FltField wspRuchu{false};
    FltField przyspieszenie{false};

  private:
    bool refuse(const FltField& field, ConfigField id, ConfigPage page, bool integer);
    TUstawienia edited() const;

    ConfigurationDialogView& view_;
    bool calibrationPage_ = false;
    bool ipShown_ = false;
    bool printerShown_ = false;
};

// The recipient as the settings file can hold it: at most 30 characters and
// 30 bytes of file text, cut at a character's end.
std::string recipientForFile(const std::string& name);

} // namespace korvane
