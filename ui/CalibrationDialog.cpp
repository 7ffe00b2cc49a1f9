#include "CalibrationDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("Form_Calibration", key));
}

} // namespace

CalibrationDialog::CalibrationDialog(QWidget* parent) : QDialog(parent), logic_(*this) {
    setObjectName("Calibration");
    setWindowTitle(caption("form.caption"));
    applyDialogDirection(this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(unitCaption(txt("Form_Calibration", "labGivenDistance.Caption"))), 0,
                    1);
    grid->addWidget(new QLabel(unitCaption(txt("Form_Calibration", "labRealizedDistance.Caption"))),
                    0, 2);
    grid->addWidget(new QLabel(caption("labCalibration.Caption")), 0, 3);
    const char* axes[] = {"labAxisX.Caption", "labAxisY.Caption", "labAxisZ.Caption"};
    const char* given[] = {"feGivenDisatansX", "feGivenDisatansY", "feGivenDisatansZ"};
    const char* realized[] = {"feRealizedDistanceX", "feRealizedDistanceY", "feRealizedDistanceZ"};
    const char* factors[] = {"txtCalibrationX", "txtCalibrationY", "txtCalibrationZ"};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const int row = static_cast<int>(axis) + 1;
        grid->addWidget(new QLabel(caption(axes[axis])), row, 0);
        for (std::size_t column = 0; column < 2; ++column) {
            const std::size_t index = axis + 3 * column;
            auto* edit = new TFltEditU(logic_.distances[index]);
            edit->setObjectName(column == 0 ? given[axis] : realized[axis]);
            connect(edit, &TFltEdit::edited, this, [this] { logic_.recompute(); });
            edits_[index] = edit;
            grid->addWidget(edit, row, static_cast<int>(column) + 1);
        }
        factors_[axis] = new QLabel;
        factors_[axis]->setObjectName(factors[axis]);
        grid->addWidget(factors_[axis], row, 3);
    }

    auto* remove = new QPushButton(caption("cmdRemoveCalib.Caption"));
    remove->setObjectName("cmdRemoveCalib");
    remove->setAutoDefault(false);
    connect(remove, &QPushButton::clicked, this, [this] { logic_.cmdRemoveCalibClick(); });
    auto* set = new QPushButton(caption("btnSet.Caption"));
    set->setObjectName("btnSet");
    set->setDefault(true);
    connect(set, &QPushButton::clicked, this, [this] { logic_.btnSetClick(); });
    auto* cancel = new QPushButton(caption("btnCancel.Caption"));
    cancel->setObjectName("btnCancel");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(set);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    applyTouchMode(this);
    logic_.FormActivate();
}

void CalibrationDialog::showCalibration() {
    for (TFltEdit* edit : edits_)
        if (edit && !edit->hasFocus()) edit->refresh();
    for (std::size_t axis = 0; axis < 3; ++axis)
        if (factors_[axis])
            factors_[axis]->setText(QString::fromStdString(logic_.factorTexts[axis]));
}

void CalibrationDialog::focusCalibrationField(CalibrationField field) {
    edits_[static_cast<std::size_t>(field)]->setFocus();
}

void CalibrationDialog::closeDialog(bool accepted) {
    if (accepted)
        accept();
    else
        reject();
}
