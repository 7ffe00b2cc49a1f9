#include "MaterialDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("Material_dialog", key));
}

} // namespace

MaterialDialog::MaterialDialog(const TModel& model, QWidget* parent) : QDialog(parent) {
    setObjectName("fMaterialDlg");
    logic_ = std::make_unique<TfMaterialDlg>(*this, model);
    TfMaterialDlg& l = *logic_;
    setWindowTitle(caption("Caption"));
    applyDialogDirection(this);
    auto* bold = new FocusedLabels(this);

    auto* sourceBox = new QGroupBox(caption("rgZrodlo.Caption"));
    sourceBox->setObjectName("rgZrodlo");
    auto* sourceLayout = new QVBoxLayout(sourceBox);
    auto* group = new QButtonGroup(this);
    const char* items[] = {"rgZrodlo.Items0", "rgZrodlo.Items1", "rgZrodlo.Items2"};
    for (int i = 0; i < 3; ++i) {
        sources_[i] = new QRadioButton(caption(items[i]));
        sources_[i]->setObjectName(QString("rbZrodlo%1").arg(i));
        group->addButton(sources_[i], i);
        sourceLayout->addWidget(sources_[i]);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { logic_->setSource(id); });
    fields_[MaterialField::source] = sourceBox;

    auto* form = new QGridLayout;
    auto row = [&](MaterialField id, const QString& text, QWidget* field, const char* name) {
        auto* label = new QLabel(text);
        label->setBuddy(field);
        field->setObjectName(name);
        const int r = form->rowCount();
        form->addWidget(label, r, 0);
        form->addWidget(field, r, 1);
        bold->add(field, label);
        fields_[id] = field;
    };
    const std::tuple<MaterialField, FltField*, const char*, const char*> numbers[] = {
        {MaterialField::width, &l.szerokosc, "lSzerokosc.Caption", "eSzerokosc"},
        {MaterialField::length, &l.dlugosc, "lDlugosc.Caption", "eDlugosc"},
        {MaterialField::height, &l.wysokosc, "lWysokosc.Caption", "eWysokosc"},
        {MaterialField::coating, &l.powloka, "lGruboscPowloki.Caption", "eGruboscPowloki"}};
    for (auto [id, field, text, name] : numbers)
        row(id, unitCaption(txt("Material_dialog", text)), new TFltEditU(*field), name);
    modelSize_ = new QPushButton(caption("btnWymiaryModelu.Caption"));
    modelSize_->setObjectName("btnWymiaryModelu");
    modelSize_->setAutoDefault(false);
    connect(modelSize_, &QPushButton::clicked, this, [this] { logic_->takeModelDimensions(); });
    form->addWidget(modelSize_, form->rowCount(), 1);
    auto* stock = new QWidget;
    auto* stockLayout = new QHBoxLayout(stock);
    stockLayout->setContentsMargins(0, 0, 0, 0);
    file_ = new QLineEdit;
    file_->setReadOnly(true);
    fileButton_ = new QPushButton("...");
    fileButton_->setObjectName("btnPlikMaterialu");
    fileButton_->setAutoDefault(false);
    connect(fileButton_, &QPushButton::clicked, this, [this] { logic_->chooseStockFile(); });
    stockLayout->addWidget(file_);
    stockLayout->addWidget(fileButton_);
    row(MaterialField::file, caption("lPlikMaterialu.Caption"), stock, "pPlikMaterialu");
    file_->setObjectName("ePlikMaterialu");
    row(MaterialField::pad, unitCaption(txt("Material_dialog", "lPodkladka.Caption")),
        new TFltEditU(l.podkladka), "ePodkladka");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &MaterialDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sourceBox);
    layout->addLayout(form);
    layout->addWidget(buttons);
    applyTouchMode(this);
    l.show();
}

MaterialDialog::~MaterialDialog() = default;

void MaterialDialog::showMaterialFields() {
    const TfMaterialDlg& l = *logic_;
    sources_[l.zrodlo]->setChecked(true);
    const bool block = l.zrodlo == materialBlock;
    for (MaterialField f : {MaterialField::width, MaterialField::length, MaterialField::height})
        fields_[f]->setEnabled(block);
    modelSize_->setEnabled(block);
    fields_[MaterialField::coating]->setEnabled(l.zrodlo == materialCoating);
    fields_[MaterialField::file]->setEnabled(l.zrodlo == materialFile);
    for (auto& [id, widget] : fields_)
        if (auto* edit = qobject_cast<TFltEdit*>(widget)) edit->refresh();
    file_->setText(QString::fromStdString(l.plikMaterialu));
}

void MaterialDialog::focusMaterialField(MaterialField field) {
    fields_[field]->setFocus();
}

std::optional<std::string> MaterialDialog::askStockFile(const std::string& title,
                                                        const std::string& filter,
                                                        const std::filesystem::path& folder) {
    return askFile(this, title, folder, filter, FilePick::existing, "raw");
}

void MaterialDialog::accept() {
    if (logic_->ok()) QDialog::accept();
}

void MaterialDialog::keyPressEvent(QKeyEvent* event) {
    if (!openManualOnF1(event, "material")) QDialog::keyPressEvent(event);
}
