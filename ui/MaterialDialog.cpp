#include "MaterialDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
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
    logic_ = std::make_unique<TfMaterialDlg>(*this, model);
    TfMaterialDlg& l = *logic_;
    setUpDialog(this, "fMaterialDlg", caption("Caption"));
    auto* bold = new FocusedLabels(this);

    QGroupBox* sourceBox = radioChoice(
        this, caption("rgZrodlo.Caption"), "rgZrodlo",
        {caption("rgZrodlo.Items0"), caption("rgZrodlo.Items1"), caption("rgZrodlo.Items2")},
        "rbZrodlo", sources_, [this](int id) { logic_->setSource(id); });
    fields_[MaterialField::source] = sourceBox;

    auto* form = new QGridLayout;
    auto row = [&](MaterialField id, const QString& text, QWidget* field, const char* name) {
        bold->addRow(form, new QLabel(text), field, name);
        fields_[id] = field;
    };
    const std::tuple<MaterialField, FltField*, const char*, const char*> numbers[] = {
        {MaterialField::width, &l.szerokosc, "lSzerokosc.Caption", "eSzerokosc"},
        {MaterialField::length, &l.dlugosc, "lDlugosc.Caption", "eDlugosc"},
        {MaterialField::height, &l.wysokosc, "lWysokosc.Caption", "eWysokosc"},
        {MaterialField::coating, &l.powloka, "lGruboscPowloki.Caption", "eGruboscPowloki"}};
    for (auto [id, field, text, name] : numbers)
        row(id, unitCaption(txt("Material_dialog", text)), new TFltEditU(*field), name);
    modelSize_ = dialogButton(caption("btnWymiaryModelu.Caption"), "btnWymiaryModelu");
    connect(modelSize_, &QPushButton::clicked, this, [this] { logic_->takeModelDimensions(); });
    form->addWidget(modelSize_, form->rowCount(), 1);
    QWidget* stock = fileNameField(file_, "ePlikMaterialu", fileButton_, "btnPlikMaterialu");
    connect(fileButton_, &QPushButton::clicked, this, [this] { logic_->chooseStockFile(); });
    row(MaterialField::file, caption("lPlikMaterialu.Caption"), stock, "pPlikMaterialu");
    row(MaterialField::pad, unitCaption(txt("Material_dialog", "lPodkladka.Caption")),
        new TFltEditU(l.podkladka), "ePodkladka");

    auto* buttons = okCancelButtons(this);
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
