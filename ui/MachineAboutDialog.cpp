#include "MachineAboutDialog.h"
#include "CalibrationDialog.h"
#include "DialogSupport.h"

#include "app/AboutMaszynyDlg.h"
#include "foundation/Interfejs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("Machine_about", key));
}

QLabel* value(const std::string& text, const char* name) {
    auto* label = new QLabel(QString::fromStdString(text));
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

MachineAboutDialog::MachineAboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("fAboutMaszyny");
    setWindowTitle(caption("fAboutMaszyny.Caption"));
    applyDialogDirection(this);
    const MachineAbout a = readMachineAbout();

    auto* form = new QFormLayout;
    form->addRow(caption("lProducent.Caption"), value(a.producer, "lProducentWart"));
    form->addRow(caption("lModel.Caption"), value(a.model, "lModelWart"));
    form->addRow(caption("lRokProd.Caption"), value(a.year, "lRokProdWart"));
    form->addRow(caption("lObszarRoboczy.Caption"), value(a.workArea, "lObszarRoboczyWart"));
    form->addRow(caption("lPrzebieg.Caption"), value(a.workingTime, "lPrzebiegWart"));
    form->addRow(caption("lIloscPlikow.Caption"), value(a.jobCount, "lIloscPlikowWart"));
    form->addRow(caption("lStanPolaczenia.Caption"), value(a.connection, "lStanPolaczeniaWart"));
    form->addRow(QString::fromStdString(a.controller), value(a.firmware, "lArmWartosc"));

    auto* group = new QGroupBox(QString::fromStdString(txt("Form_Calibration", "form.caption")));
    group->setObjectName("gbKalibracja");
    auto* factors = new QFormLayout(group);
    const char* axes[] = {"labAxisX.Caption", "labAxisY.Caption", "labAxisZ.Caption"};
    const char* names[] = {"lKalibracjaOsXWart", "lKalibracjaOsYWart", "lKalibracjaOsZWart"};
    for (std::size_t axis = 0; axis < 3; ++axis)
        factors->addRow(QString::fromStdString(txt("Form_Calibration", axes[axis]) + " :"),
                        value(a.calibration[axis], names[axis]));
    calibration_ = group;

    auto* ok = new QPushButton("OK");
    ok->setObjectName("TntBitBtn1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(group);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

void MachineAboutDialog::mouseDoubleClickEvent(QMouseEvent* event) {
    if (calibration_->geometry().contains(event->pos()) && calibrationOpensConfiguration()) {
        CalibrationDialog(this).exec();
        return;
    }
    QDialog::mouseDoubleClickEvent(event);
}
