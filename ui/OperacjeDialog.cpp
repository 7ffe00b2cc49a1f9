#include "OperacjeDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("Operations_dialog", key));
}

} // namespace

OperacjeDialog::OperacjeDialog(const TOperacjaDane* operation, int index, QWidget* parent)
    : QDialog(parent) {
    logic_ = operation ? std::make_unique<TfOperacjeDlg>(*this, *operation, index)
                       : std::make_unique<TfOperacjeDlg>(*this);
    TfOperacjeDlg& l = *logic_;
    setUpDialog(this, "fOperacjeDlg", QString::fromStdString(l.caption()));
    auto* bold = new FocusedLabels(this);

    auto* form = new QGridLayout;
    auto row = [&](OperationField id, const QString& text, QWidget* field, const char* name) {
        auto* label = new QLabel(text);
        bold->addRow(form, label, field, name);
        rows_[id] = {label, field};
    };
    auto box = [&](const QString& text, const char* name, bool& flag) {
        auto* b = new QCheckBox(text);
        b->setObjectName(name);
        form->addWidget(b, form->rowCount(), 1);
        connect(b, &QCheckBox::clicked, this, [this, &flag](bool on) {
            flag = on;
            logic_->parameterEdited();
        });
        return b;
    };
    auto number = [&](OperationField id, FltField& field, const QString& text, const char* name,
                      bool withUnit) {
        TFltEdit* edit = withUnit ? new TFltEditU(field) : new TFltEdit(field);
        connect(edit, &TFltEdit::edited, this, [this] { logic_->parameterEdited(); });
        row(id, text, edit, name);
    };

    name_ = new QLineEdit(QString::fromStdString(l.nazwa));
    row(OperationField::name, caption("lNazwa.Caption"), name_, "eNazwa");
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& t) { logic_->setName(t.toStdString()); });
    type_ = new QComboBox;
    for (const rTypOperacji& t : l.types()) type_->addItem(QString::fromStdString(t.str));
    row(OperationField::type, caption("lTyp.Caption"), type_, "cbTyp");
    connect(type_, &QComboBox::activated, this, [this](int i) { logic_->chooseType(i); });
    tool_ = new QComboBox;
    for (const ToolChoice& t : l.tools()) tool_->addItem(QString::fromStdString(t.name));
    row(OperationField::tool, caption("lNarzedzie.Caption"), tool_, "cbNarzedzie");
    connect(tool_, &QComboBox::activated, this, [this](int i) { logic_->chooseTool(i); });
    QWidget* plot = fileNameField(plotFile_, "ePlikWe", plotButton_, "btnPlikWe");
    connect(plotButton_, &QPushButton::clicked, this, [this] { logic_->choosePlotFile(); });
    row(OperationField::plotFile, caption("lPlikWe.Caption"), plot, "pPlikWe");

    number(OperationField::width, l.warstwaSzer,
           unitCaption(txt("Operations_dialog", "lSzerokosc.Caption")), "eSzerokosc", true);
    number(OperationField::depth, l.warstwaGrubosc,
           unitCaption(txt("Operations_dialog", "lGlebokosc.Caption")), "eGlebokosc", true);
    grouping_ = box(caption("cbGrupowanie.Caption"), "cbGrupowanie", l.warstwyGrupowanie);
    number(OperationField::angle, l.kat, caption("lKat.Caption"), "eKat", false);
    connect_ = box(QString(), "cbPolaczone", l.polaczoneKonce);
    connect(connect_, &QCheckBox::clicked, this, [this](bool on) { logic_->setConnect(on); });
    softEntry_ = box(caption("cbMiekkieWejscie.Caption"), "cbMiekkieWejscie", l.miekkieWejscie);
    number(OperationField::allowance, l.zostawDoNastOper,
           unitCaption(txt("Operations_dialog", "lNaddatek.Caption")), "eNaddatek", true);
    number(OperationField::feed, l.szybkosc,
           unitCaption(txt("Operations_dialog", "lPosuw.Caption"), true), "ePosuw", true);
    number(OperationField::rapid, l.szybkoscPrzestawcza,
           unitCaption(txt("Operations_dialog", "lSzybkoscPrzestawcza.Caption"), true),
           "eSzybkoscPrzestawcza", true);
    number(OperationField::plunge, l.posuwWiercenia,
           unitCaption(txt("Operations_dialog", "lPosuwWiercenia.Caption"), true),
           "ePosuwWiercenia", true);
    number(OperationField::spindle, l.obroty, caption("lObroty.Caption"), "eObroty", false);
    number(OperationField::lowerZ, l.granicaZdolna,
           unitCaption(txt("Operations_dialog", "lGranicaZdolna.Caption")), "eGranicaZdolna", true);
    number(OperationField::upperZ, l.granicaZgorna,
           unitCaption(txt("Operations_dialog", "lGranicaZgorna.Caption")), "eGranicaZgorna", true);
    precise_ = box(caption("cbObliczeniaPrecyzyjne.Caption"), "cbObliczeniaPrecyzyjne",
                   l.ObliczeniaPrecyzyjne);
    number(OperationField::temperature, l.tempRobocza, caption("lTemperatura.Caption"),
           "eTemperatura", false);
    number(OperationField::materialUse, l.zuzycieMaterialu, caption("lZuzycieMaterialu.Caption"),
           "eZuzycieMaterialu", false);
    number(OperationField::outlines, l.iloscObrysow, caption("lIloscObrysow.Caption"),
           "eIloscObrysow", false);
    automaticLevel_ =
        box(caption("cbAutomatycznyPoziom.Caption"), "cbAutomatycznyPoziom", l.automatycznyPoziom);
    number(OperationField::level, l.poziomObrysu, caption("lPoziomObrysu.Caption"), "ePoziomObrysu",
           false);
    description_ = new QLineEdit(QString::fromStdString(l.opis));
    bold->addRow(form, new QLabel(caption("lOpis.Caption")), description_, "eOpis");
    connect(description_, &QLineEdit::textEdited, this,
            [this](const QString& t) { logic_->opis = t.toStdString(); });

    auto* buttons = okCancelButtons(this);
    auto* defaults =
        buttons->addButton(caption("btnDomyslne.Caption"), QDialogButtonBox::ResetRole);
    defaults->setObjectName("btnDomyslne");
    defaults->setAutoDefault(false);
    connect(defaults, &QPushButton::clicked, this, [this] { logic_->applyDefaults(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    applyTouchMode(this);
    l.show();
}

OperacjeDialog::~OperacjeDialog() = default;

void OperacjeDialog::showRow(OperationField field, bool shown) {
    rows_[field].label->setVisible(shown);
    rows_[field].field->setVisible(shown);
}

void OperacjeDialog::showOperationFields() {
    const TfOperacjeDlg& l = *logic_;
    const OperationGroups g = l.groups();
    type_->setCurrentIndex(l.typeIndex());
    tool_->setCurrentIndex(l.toolIndex());
    plotFile_->setText(QString::fromStdString(l.plikPlt));
    showRow(OperationField::tool, g.tool);
    showRow(OperationField::plotFile, g.plotFile);
    showRow(OperationField::width, g.width);
    showRow(OperationField::depth, g.depth);
    showRow(OperationField::angle, g.angle);
    showRow(OperationField::allowance, g.allowance);
    showRow(OperationField::feed, g.speeds);
    showRow(OperationField::rapid, g.speeds);
    showRow(OperationField::plunge, g.plungeAndSpindle);
    showRow(OperationField::spindle, g.plungeAndSpindle);
    showRow(OperationField::lowerZ, g.zLimits);
    showRow(OperationField::upperZ, g.zLimits);
    showRow(OperationField::temperature, g.printer);
    showRow(OperationField::materialUse, g.printer);
    showRow(OperationField::outlines, g.printer);
    showRow(OperationField::level, g.outline);
    grouping_->setVisible(g.grouping);
    connect_->setVisible(g.connect);
    connect_->setText(caption(l.biezacyTypOper == opHatching ? "cbPolaczoneKonce.Caption"
                                                             : "cbPolaczoneWarstwy.Caption"));
    softEntry_->setVisible(g.softEntry);
    precise_->setVisible(g.precise);
    automaticLevel_->setVisible(g.outline);
    grouping_->setChecked(l.warstwyGrupowanie);
    connect_->setChecked(l.polaczoneKonce);
    softEntry_->setChecked(l.miekkieWejscie);
    precise_->setChecked(l.ObliczeniaPrecyzyjne);
    automaticLevel_->setChecked(l.automatycznyPoziom);
    if (description_->text().toStdString() != l.opis)
        description_->setText(QString::fromStdString(l.opis));
    for (auto& [id, r] : rows_)
        if (auto* edit = qobject_cast<TFltEdit*>(r.field)) edit->refresh();
    rows_[OperationField::lowerZ].field->setEnabled(l.zLimitsEnabled());
    rows_[OperationField::upperZ].field->setEnabled(l.zLimitsEnabled());
}

void OperacjeDialog::focusOperationField(OperationField field) {
    rows_[field].field->setFocus();
}

std::optional<std::string> OperacjeDialog::askPlotFile(const std::filesystem::path& folder) {
    // Any name: the dialog's logic reports a file that does not exist.
    return askFile(this, txt("Operations_dialog", "lPlikWe.Caption"), folder,
                   txt("Operations_dialog", "plikPlt") + "|*.plt;*.dxf|*|*", FilePick::any);
}

void OperacjeDialog::accept() {
    if (logic_->ok()) QDialog::accept();
}

void OperacjeDialog::keyPressEvent(QKeyEvent* event) {
    if (!openManualOnF1(event, "operations")) QDialog::keyPressEvent(event);
}
