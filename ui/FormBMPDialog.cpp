#include "FormBMPDialog.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString text(const char* key) {
    return QString::fromStdString(txt("BMP_dialog", key));
}

QDoubleSpinBox* millimetres(const char* name, double max) {
    auto* field = new QDoubleSpinBox;
    field->setObjectName(name);
    field->setDecimals(3);
    field->setRange(0, max);
    field->setSuffix(" mm");
    return field;
}

} // namespace

FormBMPDialog::FormBMPDialog(TFormBMP& form, QWidget* parent) : QDialog(parent), form_(form) {
    setObjectName("FormBMP");
    setWindowTitle(text("Caption"));
    image_ = new QLabel;
    image_->setObjectName("ImageBMP");
    image_->setMinimumSize(320, 240);
    image_->setAlignment(Qt::AlignCenter);

    auto* heights = new QGroupBox(text("gbGlebokoscFrezowania.caption"));
    heights->setObjectName("gbGlebokoscFrezowania");
    auto* heightRows = new QFormLayout(heights);
    white_ = millimetres("wysokoscDlaBialego", 1000);
    black_ = millimetres("wysokoscDlaCzarnego", 1000);
    auto* whiteLabel = new QLabel(text("lWysokoscDlaBialego.caption"));
    auto* blackLabel = new QLabel(text("lWysokoscDlaCzarnego.caption"));
    heightRows->addRow(whiteLabel, white_);
    heightRows->addRow(blackLabel, black_);

    auto* size = new QGroupBox(text("gbWymiary.caption"));
    size->setObjectName("gbWymiary");
    auto* sizeRows = new QFormLayout(size);
    width_ = millimetres("Szerokosc", 100000);
    depth_ = millimetres("wysokosc", 100000);
    auto* widthLabel = new QLabel(text("lSzerokosc.caption"));
    auto* depthLabel = new QLabel(text("lWysokosc.caption"));
    sizeRows->addRow(widthLabel, width_);
    sizeRows->addRow(depthLabel, depth_);
    proportional_ = new QCheckBox(text("Proporcjonalnie.caption"));
    proportional_->setObjectName("Proporcjonalnie");
    link_ = new QLabel(QString::fromUtf8("\u21C5"));
    link_->setObjectName("pSymbolZaleznosci");
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(proportional_);
    linkRow->addWidget(link_);
    sizeRows->addRow(linkRow);

    auto* buttons = new QDialogButtonBox;
    auto* ok = buttons->addButton(QString::fromStdString(txt("Universal", "txtOK")),
                                  QDialogButtonBox::AcceptRole);
    ok->setObjectName("btnOk");
    auto* cancel = buttons->addButton(QString::fromStdString(txt("Universal", "txtAnuluj")),
                                      QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnAnuluj");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QVBoxLayout;
    fields->addWidget(heights);
    fields->addWidget(size);
    fields->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(image_, 1);
    body->addLayout(fields);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);

    white_->setValue(form_.relief.wysokoscDlaBialego);
    black_->setValue(form_.relief.wysokoscDlaCzarnego);
    proportional_->setChecked(form_.Proporcjonalnie);
    link_->setVisible(form_.Proporcjonalnie);
    showSize();

    connect(white_, &QDoubleSpinBox::valueChanged, this,
            [this](double v) { form_.relief.wysokoscDlaBialego = v; });
    connect(black_, &QDoubleSpinBox::valueChanged, this,
            [this](double v) { form_.relief.wysokoscDlaCzarnego = v; });
    connect(width_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        form_.SzerokoscChange(v);
        link_->setVisible(form_.Proporcjonalnie);
        showSize();
    });
    connect(depth_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        form_.wysokoscChange(v);
        showSize();
    });
    connect(proportional_, &QCheckBox::toggled, this, [this](bool on) {
        form_.Proporcjonalnie = on;
        link_->setVisible(on);
    });
    // The label of the field being edited is shown in bold.
    const std::pair<QWidget*, QLabel*> labelled[] = {
        {white_, whiteLabel}, {black_, blackLabel}, {width_, widthLabel}, {depth_, depthLabel}};
    for (const auto& [field, label] : labelled) {
        field->setProperty("label", QVariant::fromValue(static_cast<QObject*>(label)));
        field->installEventFilter(this);
    }
}

void FormBMPDialog::showSize() {
    const QSignalBlocker blockWidth(width_);
    const QSignalBlocker blockDepth(depth_);
    width_->setValue(form_.relief.Szerokosc);
    depth_->setValue(form_.relief.wysokosc);
}

void FormBMPDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!form_.FormActivate()) {
        // A picture that cannot be read has been reported: nothing to relieve.
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    showSize();
    const QImage picture(QString::fromStdString(form_.BMPFileName));
    image_->setPixmap(QPixmap::fromImage(picture).scaled(image_->size(), Qt::KeepAspectRatio,
                                                         Qt::SmoothTransformation));
}

bool FormBMPDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (auto* label = qobject_cast<QLabel*>(watched->property("label").value<QObject*>())) {
            QFont font = label->font();
            font.setBold(event->type() == QEvent::FocusIn);
            label->setFont(font);
        }
    }
    return QDialog::eventFilter(watched, event);
}
