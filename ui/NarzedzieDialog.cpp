#include "NarzedzieDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"
#include "RAWview.h"
#include "ToolDiagram.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace korvane;

NarzedzieDialog::NarzedzieDialog(const TFrezDane* tool, int index, QWidget* parent)
    : QDialog(parent) {
    logic_ = tool ? std::make_unique<TfNarzedzieDlg>(*this, *tool, index)
                  : std::make_unique<TfNarzedzieDlg>(*this);
    setUpDialog(this, "fNarzedzieDlg", QString::fromStdString(logic_->caption()));
    auto* bold = new FocusedLabels(this);

    auto* form = new QGridLayout;
    auto row = [&](const QString& caption, QWidget* field, const char* name) {
        bold->addRow(form, new QLabel(caption), field, name);
    };
    name_ = new QLineEdit(QString::fromStdString(logic_->nazwa));
    name_->setMaxLength(64);
    row(QString::fromStdString(txt("Tools_dialog", "lNazwa.Caption")), name_, "eNazwa");
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_->setName(text.toStdString()); });
    type_ = new QComboBox;
    for (const std::string& t : toolTypeNames) type_->addItem(QString::fromStdString(t));
    row(QString::fromStdString(txt("Tools_dialog", "lTyp.Caption")), type_, "cbTyp");
    connect(type_, &QComboBox::activated, this, [this](int i) { logic_->setType(i); });
    fields_[ToolField::name] = name_;
    fields_[ToolField::type] = type_;
    const std::tuple<ToolField, FltField*, const char*, const char*> sizes[] = {
        {ToolField::d1, &logic_->d1, "d1", "eD1"},
        {ToolField::d2, &logic_->d2, "d2", "eD2"},
        {ToolField::h, &logic_->h, "h", "eH"},
        {ToolField::d3, &logic_->d3, "d3", "eD3"},
        {ToolField::hc, &logic_->hc, "hc", "eHc"}};
    for (auto [id, field, caption, name] : sizes) {
        auto* edit = new TFltEditU(*field);
        row(unitCaption(caption), edit, name);
        fields_[id] = edit;
    }

    sketch_ = new TRAWview(tpPrzegladNarzedzi);
    sketch_->setObjectName("RAWviewNarzedzie");
    sketch_->setFixedSize(201, 201);
    sketch_->setBackground(QColor(0xC0, 0xC0, 0xC0));
    sketch_->setModelKolor(0xB06020);
    sketch_->setModelMaterial(1.0);
    connect(sketch_, &TRAWview::doubleClicked, this, [this] { logic_->toggleDimensionLines(); });
    diagram_ = new ToolDiagram(QString::fromStdString(txt("Tools_dialog", "brakSchematuFreza")));
    auto* picture = new QHBoxLayout;
    picture->addWidget(diagram_, 0, Qt::AlignTop);
    picture->addWidget(sketch_, 0, Qt::AlignTop);

    auto* buttons = okCancelButtons(this);

    auto* top = new QHBoxLayout;
    top->addLayout(form);
    top->addLayout(picture);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    applyTouchMode(this);
    logic_->show();
}

NarzedzieDialog::~NarzedzieDialog() = default;

void NarzedzieDialog::showToolFields() {
    const TfNarzedzieDlg& l = *logic_;
    if (name_->text().toStdString() != l.nazwa) name_->setText(QString::fromStdString(l.nazwa));
    type_->setCurrentIndex(l.typ);
    for (auto& [id, widget] : fields_)
        if (auto* edit = qobject_cast<TFltEdit*>(widget)) edit->refresh();
    fields_[ToolField::d2]->setEnabled(l.typ == toolConical);
    sketch_->setUkladWsp(l.LinieWymiaroweWidoczne);
    sketch_->PokazNarzedzie(l.typ);
    diagram_->setType(l.typ);
}

void NarzedzieDialog::focusToolField(ToolField field) {
    fields_[field]->setFocus();
}

void NarzedzieDialog::accept() {
    if (logic_->ok()) QDialog::accept();
}

void NarzedzieDialog::keyPressEvent(QKeyEvent* event) {
    if (!openManualOnF1(event, "tools")) QDialog::keyPressEvent(event);
}
