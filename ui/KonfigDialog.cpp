#include "KonfigDialog.h"
#include "CalibrationDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("Configuration", key));
}

QCheckBox* checkBox(const char* name) {
    auto* box = new QCheckBox(caption((std::string(name) + ".Caption").c_str()));
    box->setObjectName(name);
    return box;
}

} // namespace

KonfigDialog::KonfigDialog(bool calibrationPage, QWidget* parent) : QDialog(parent) {
    logic_ = std::make_unique<TfKonfig>(*this, calibrationPage);
    TfKonfig& l = *logic_;
    setUpDialog(this, "fKonfig", caption("Caption"));
    auto* bold = new FocusedLabels(this);

    pages_ = new QTabWidget;
    pages_->setObjectName("pcKonfig");
    auto page = [&](ConfigPage id, const char* name) {
        auto* widget = new QWidget;
        widget->setObjectName(name);
        pages_->addTab(widget, caption((std::string(name) + ".Caption").c_str()));
        pageWidgets_[id] = widget;
        return new QVBoxLayout(widget);
    };
    auto labelled = [&](QGridLayout* grid, ConfigField id, QLabel* label, QWidget* field,
                        const char* name) {
        bold->addRow(grid, label, field, name);
        fields_[id] = field;
    };

    // General: unit, resolution, coupled views, 3D printer.
    QVBoxLayout* general = page(ConfigPage::general, "tsOgolne");
    QStringList unitNames;
    for (std::size_t i = 0; i < 3; ++i)
        unitNames << QString::fromStdString(unitTable[i].skrot + " " + unitTable[i].opis);
    QGroupBox* unitBox =
        radioChoice(this, caption("rgJednostka.Caption"), "rgJednostka", unitNames, "rbJednostka",
                    units_, [this](int id) { logic_->setUnit(id); });
    fields_[ConfigField::unit] = unitBox;
    general->addWidget(unitBox);
    auto* generalGrid = new QGridLayout;
    labelled(generalGrid, ConfigField::resolution, new QLabel(caption("lRozdzielczosc.Caption")),
             new TFltEdit(l.rozdzielczosc), "eRozdzielczosc");
    general->addLayout(generalGrid);
    coupled_ = checkBox("cbSprzegNawigacyjny");
    connect(coupled_, &QCheckBox::toggled, this,
            [this](bool on) { logic_->sprzegNawigacyjny = on; });
    general->addWidget(coupled_);
    printer_ = checkBox("cbDrukarka3D");
    connect(printer_, &QCheckBox::toggled, this, [this](bool on) { logic_->drukarka3D = on; });
    general->addWidget(printer_);
    general->addStretch();

    // Machine: plate, IP address, service options.
    QVBoxLayout* machine = page(ConfigPage::machine, "tsMaszyna");
    auto* machineGrid = new QGridLayout;
    plateLabel_ = new QLabel;
    labelled(machineGrid, ConfigField::plate, plateLabel_, new TFltEditU(l.plytka),
             "ePlytkaPomGrubosc");
    machine->addLayout(machineGrid);
    ipGroup_ = new QGroupBox(caption("lAdresIP.Caption"));
    ipGroup_->setObjectName("gbAdresIP");
    auto* ipLayout = new QGridLayout(ipGroup_);
    auto* octets = new QHBoxLayout;
    // An address reads left to right in every language.
    auto* octetRow = new QWidget;
    octetRow->setLayoutDirection(Qt::LeftToRight);
    octetRow->setLayout(octets);
    for (int i = 0; i < 4; ++i) {
        auto* edit = new TFltEdit(l.adresIP[static_cast<std::size_t>(i)]);
        edit->setObjectName(QString("eIP%1").arg(i));
        fields_[static_cast<ConfigField>(static_cast<int>(ConfigField::ip0) + i)] = edit;
        octets->addWidget(edit);
        if (i < 3) octets->addWidget(new QLabel("."));
    }
    ipLayout->addWidget(octetRow, 0, 0, 1, 2);
    auto* setIp = dialogButton(caption("btnUstawIP.Caption"), "btnUstawIP");
    connect(setIp, &QPushButton::clicked, this, [this] { logic_->setMachineIp(); });
    ipLayout->addWidget(setIp, 1, 0);
    ethernet_ = checkBox("cbEthernet");
    connect(ethernet_, &QCheckBox::toggled, this, [this](bool on) { logic_->ethernet = on; });
    ipLayout->addWidget(ethernet_, 1, 1);
    machine->addWidget(ipGroup_);
    service_ = new QGroupBox;
    service_->setObjectName("gbSerwis");
    auto* serviceLayout = new QVBoxLayout(service_);
    smoothing_ = checkBox("cbWygladzanie");
    connect(smoothing_, &QCheckBox::toggled, this, [this](bool on) { logic_->wygladzanie = on; });
    log_ = checkBox("cbLog");
    connect(log_, &QCheckBox::toggled, this, [this](bool on) { logic_->logPracy = on; });
    serviceLayout->addWidget(smoothing_);
    serviceLayout->addWidget(log_);
    auto* serviceGrid = new QGridLayout;
    labelled(serviceGrid, ConfigField::motionFactor, new QLabel(caption("lWspRuchu.Caption")),
             new TFltEdit(l.wspRuchu), "eWspRuchu");
    labelled(serviceGrid, ConfigField::acceleration, new QLabel(caption("lPrzyspieszenie.Caption")),
             new TFltEdit(l.przyspieszenie), "ePrzyspieszenie");
    serviceLayout->addLayout(serviceGrid);
    machine->addWidget(service_);
    machine->addStretch();

    // Notifications.
    QVBoxLayout* notifications = page(ConfigPage::notifications, "tsPowiadomienia");
    notifyBuild_ = checkBox("cbPowiadomKoniecGenWy");
    connect(notifyBuild_, &QCheckBox::toggled, this,
            [this](bool on) { logic_->powiadomKoniecGenWy = on; });
    notifyJob_ = checkBox("cbPowiadomKoniecObrobki");
    connect(notifyJob_, &QCheckBox::toggled, this,
            [this](bool on) { logic_->powiadomKoniecObrobki = on; });
    notifications->addWidget(notifyBuild_);
    notifications->addWidget(notifyJob_);
    auto* recipientGrid = new QGridLayout;
    recipient_ = new QLineEdit;
    recipient_->setMaxLength(30);
    connect(recipient_, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_->odbiorca = text.toStdString(); });
    labelled(recipientGrid, ConfigField::recipient, new QLabel(caption("lOdbiorca.Caption")),
             recipient_, "eOdbiorca");
    notifications->addLayout(recipientGrid);
    notifications->addStretch();

    // Calibration.
    QVBoxLayout* calibration = page(ConfigPage::calibration, "tsKalibracja");
    auto* calibrate = dialogButton(
        QString::fromStdString(txt("Form_Calibration", "form.caption") + "..."), "btnKalibracja");
    connect(calibrate, &QPushButton::clicked, this, [this] { CalibrationDialog(this).exec(); });
    calibration->addWidget(calibrate);
    calibration->addStretch();

    auto* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
    applyTouchMode(this);
    l.show();
}

KonfigDialog::~KonfigDialog() = default;

void KonfigDialog::showConfigFields() {
    const TfKonfig& l = *logic_;
    units_[l.jednostka]->setChecked(true);
    coupled_->setChecked(l.sprzegNawigacyjny);
    printer_->setChecked(l.drukarka3D);
    printer_->setVisible(l.printerShown());
    const rJednMiar& unit = unitTable[static_cast<std::size_t>(l.jednostka)];
    plateLabel_->setText(QString::fromStdString(txt("Configuration", "lPlytkaPomGrubosc.Caption") +
                                                " [" + unit.skrot + "]"));
    ipGroup_->setVisible(l.ipShown());
    ethernet_->setChecked(l.ethernet);
    service_->setVisible(l.serviceShown);
    smoothing_->setChecked(l.wygladzanie);
    log_->setChecked(l.logPracy);
    notifyBuild_->setChecked(l.powiadomKoniecGenWy);
    notifyJob_->setChecked(l.powiadomKoniecObrobki);
    if (recipient_->text().toStdString() != l.odbiorca)
        recipient_->setText(QString::fromStdString(l.odbiorca));
    pages_->setTabVisible(pages_->indexOf(pageWidgets_[ConfigPage::calibration]),
                          l.calibrationPageShown());
    for (auto& [id, widget] : fields_)
        if (auto* edit = qobject_cast<TFltEdit*>(widget)) edit->refresh();
    // Groups shown or hidden: the window takes the size they need.
    if (isVisible()) adjustSize();
}

void KonfigDialog::showConfigPage(ConfigPage page) {
    pages_->setCurrentWidget(pageWidgets_[page]);
}

void KonfigDialog::focusConfigField(ConfigField field) {
    fields_[field]->setFocus();
}

void KonfigDialog::accept() {
    if (logic_->ok()) QDialog::accept();
}

void KonfigDialog::keyPressEvent(QKeyEvent* event) {
    if (openManualOnF1(event, "configuration")) return;
    if (event->key() == Qt::Key_F10 &&
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) ==
            (Qt::ControlModifier | Qt::AltModifier)) {
        logic_->toggleServiceOptions();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool openConfiguration(QWidget* parent, bool calibrationPage) {
    KonfigDialog dialog(calibrationPage, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.logic().applyAfterClose();
    return true;
}
