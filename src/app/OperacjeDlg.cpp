#include "app/OperacjeDlg.h"

#include "app/NarzedzieDlg.h"
#include "foundation/CommandLine.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryState.h"
#include "machine/MachineState.h"

#include <cmath>

namespace korvane {

namespace {

const char* const section = "Operations_dialog";

// Widths, depths and allowances beyond a metre, and Z limits beyond ten
// metres either way, are typing errors on any machine.
constexpr double largestLength = 1000;
constexpr double largestHeight = 10000;
constexpr double defaultUpperZ = 170;

bool among(int type, std::initializer_list<int> types) {
    for (int t : types)
        if (t == type) return true;
    return false;
}

} // namespace

OperationGroups operationGroups(int type) {
    OperationGroups g{};
    if (type < opRoughing || type > opOutline) return g;
    g.tool = type <= opMixed;
    g.plotFile = type == opPlotHatching;
    g.width = among(type, {opRoughing, opPlanes, opHatching, opMixed, opPrinting});
    g.depth = among(type, {opRoughing, opLayeredFinishing, opPrinting});
    g.grouping = type == opPrinting;
    g.angle = type == opHatching;
    g.connect = among(type, {opLayeredFinishing, opHatching, opMixed});
    g.softEntry = type == opRoughing;
    g.allowance = type <= opMixed;
    g.speeds = type != opOutline;
    g.plungeAndSpindle = type <= opMixed;
    g.zLimits = type != opOutline;
    g.printer = type == opPrinting;
    g.outline = type == opOutline;
    g.precise = type >= opLayeredFinishing && type <= opMixed && hasSwitch("PrecCalc");
    return g;
}

TfOperacjeDlg::TfOperacjeDlg(OperationDialogView& view) : view_(view) {
    setUpLists();
    setUpFields();
}

TfOperacjeDlg::TfOperacjeDlg(OperationDialogView& view, const TOperacjaDane& o, int index)
    : Tryb_Pracy(0), IndxNaLiscie(index), oldName(o.nazwa), nazwa(o.nazwa), plikPlt(o.plikPlt),
      opis(o.opis), warstwyGrupowanie(o.warstwyGrupowanie), polaczoneKonce(o.polaczoneKonce),
      miekkieWejscie(o.miekkieWejscie), ObliczeniaPrecyzyjne(o.ObliczeniaPrecyzyjne),
      automatycznyPoziom(o.automatycznyPoziom), view_(view) {
    setUpLists();
    setUpFields();
    for (std::size_t i = 0; i < types_.size(); ++i)
        if (types_[i].id == o.idTyp) typeIndex_ = static_cast<int>(i);
    biezacyTypOper = typeIndex_ >= 0 ? o.idTyp : opUnknown;
    for (std::size_t i = 0; i < tools_.size() && toolIndex_ < 0; ++i)
        if (!o.narzedzie.empty() && sameText(tools_[i].id, o.narzedzie))
            toolIndex_ = static_cast<int>(i);
    setFeedLimit();
    warstwaSzer.SetValue(o.warstwaSzer);
    warstwaGrubosc.SetValue(o.warstwaGrubosc);
    kat.SetValue(o.kat);
    zostawDoNastOper.SetValue(o.zostawDoNastOper);
    szybkosc.SetValue(o.szybkosc);
    szybkoscPrzestawcza.SetValue(o.szybkoscPrzestawcza);
    posuwWiercenia.SetValue(o.posuwWiercenia);
    obroty.SetValue(o.obroty);
    granicaZdolna.SetValue(o.granicaZdolna);
    granicaZgorna.SetValue(o.granicaZgorna);
    tempRobocza.SetValue(o.tempRobocza);
    zuzycieMaterialu.SetValue(o.zuzycieMaterialu);
    iloscObrysow.SetValue(o.iloscObrysow);
    poziomObrysu.SetValue(o.poziomObrysu);
}

void TfOperacjeDlg::setUpLists() {
    for (const rTypOperacji& t : operationTypes)
        if (t.parametr.empty() || hasSwitch(t.parametr)) types_.push_back(t);
    if (toolLibrary)
        for (const auto& t : toolLibrary->Lista) tools_.push_back({t->nazwa, t->id, t->d1});
}

void TfOperacjeDlg::setUpFields() {
    const std::pair<FltField*, const char*> fields[] = {
        {&warstwaSzer, "lSzerokosc"},
        {&warstwaGrubosc, "lGlebokosc"},
        {&kat, "lKat"},
        {&zostawDoNastOper, "lNaddatek"},
        {&szybkosc, "lPosuw"},
        {&szybkoscPrzestawcza, "lSzybkoscPrzestawcza"},
        {&posuwWiercenia, "lPosuwWiercenia"},
        {&obroty, "lObroty"},
        {&granicaZdolna, "lGranicaZdolna"},
        {&granicaZgorna, "lGranicaZgorna"},
        {&tempRobocza, "lTemperatura"},
        {&zuzycieMaterialu, "lZuzycieMaterialu"},
        {&iloscObrysow, "lIloscObrysow"},
        {&poziomObrysu, "lPoziomObrysu"},
    };
    for (auto [field, label] : fields) {
        field->SetNzwPola(txt(section, std::string(label) + ".Caption"));
        field->setFormat(FloatFormat::fixed, 15, 3);
        field->changeunit(settings.jednostkaMiary);
    }
    // Counts, angles and speeds of rotation are whole or plain numbers.
    for (FltField* f :
         {&kat, &obroty, &tempRobocza, &zuzycieMaterialu, &iloscObrysow, &poziomObrysu})
        f->setFormat(FloatFormat::general, 15, 0);
    warstwaSzer.setLimits(0, largestLength);
    warstwaGrubosc.setLimits(0, largestLength);
    zostawDoNastOper.setLimits(0, largestLength);
    kat.setLimits(-360, 360);
    szybkoscPrzestawcza.setLimits(machineParams.minSpeed, machineParams.maxRapid);
    posuwWiercenia.setLimits(0, machineParams.maxPlungeFeed);
    obroty.setLimits(machineParams.spindleSpeedMin, machineParams.spindleSpeedMax);
    granicaZdolna.setLimits(-largestHeight, largestHeight);
    granicaZgorna.setLimits(-largestHeight, largestHeight);
    tempRobocza.setLimits(0, 250);
    zuzycieMaterialu.setLimits(0, 200);
    iloscObrysow.setLimits(0, 1000);
    poziomObrysu.setLimits(0, 100);
    setFeedLimit();
}

void TfOperacjeDlg::setFeedLimit() {
    const double top = biezacyTypOper == opRoughing ? machineParams.maxFeed : finishingFeedLimit;
    szybkosc.setLimits(machineParams.minSpeed, top);
    if (!trimSpaces(szybkosc.text()).empty() && szybkosc.GetValue() > top) szybkosc.SetValue(top);
}

std::string TfOperacjeDlg::caption() const {
    return txt(section, Tryb_Pracy == 0 ? "captionEdycja" : "captionNowy");
}

void TfOperacjeDlg::show() {
    ZmianaNazwy = true;
    view_.showOperationFields();
    if (Tryb_Pracy == 0 && biezacyTypOper == opPlotHatching && !plikPlt.empty()) {
        std::error_code ec;
        if (!std::filesystem::exists(plikPlt, ec))
            showMessage(txt(section, "PlikWeNieIstnieje") + "\r\n" + plikPlt, true);
    }
}

void TfOperacjeDlg::setName(const std::string& name) {
    nazwa = name;
    ZmianaNazwy = true;
}

void TfOperacjeDlg::chooseType(int listIndex) {
    typeIndex_ = listIndex >= 0 && listIndex < static_cast<int>(types_.size()) ? listIndex : -1;
    biezacyTypOper = typeIndex_ >= 0 ? types_[static_cast<std::size_t>(typeIndex_)].id : opUnknown;
    setFeedLimit();
    automaticDefaults();
    view_.showOperationFields();
}

void TfOperacjeDlg::chooseTool(int listIndex) {
    toolIndex_ = listIndex >= 0 && listIndex < static_cast<int>(tools_.size()) ? listIndex : -1;
    automaticDefaults();
    view_.showOperationFields();
}

void TfOperacjeDlg::setConnect(bool on) {
    polaczoneKonce = on;
    if (biezacyTypOper == opHatching && on) {
        granicaZdolna.SetValue(0);
        granicaZgorna.SetValue(defaultUpperZ);
    }
    view_.showOperationFields();
}

void TfOperacjeDlg::automaticDefaults() {
    if (Tryb_Pracy == 1 && !zmienianoRecznie) applyDefaults();
}

void TfOperacjeDlg::applyDefaults() {
    const double half = toolIndex_ >= 0 ? tools_[static_cast<std::size_t>(toolIndex_)].d1 / 2 : 0;
    warstwaSzer.SetValue(half);
    warstwaGrubosc.SetValue(half);
    warstwyGrupowanie = true;
    kat.SetValue(90);
    zostawDoNastOper.SetValue(biezacyTypOper == opRoughing ? 1 : 0);
    szybkosc.SetValue(biezacyTypOper == opRoughing ? machineParams.maxFeed : finishingFeedLimit);
    szybkoscPrzestawcza.SetValue(machineParams.maxRapid);
    posuwWiercenia.SetValue(std::round(machineParams.maxPlungeFeed / 2.0));
    obroty.SetValue(machineParams.spindleSpeedMax);
    granicaZdolna.SetValue(0);
    granicaZgorna.SetValue(defaultUpperZ);
    polaczoneKonce = miekkieWejscie = ObliczeniaPrecyzyjne = false;
    tempRobocza.SetValue(180);
    zuzycieMaterialu.SetValue(1);
    iloscObrysow.SetValue(1);
    automatycznyPoziom = true;
    poziomObrysu.SetValue(100);
    opis.clear();
    zmienianoRecznie = false;
    view_.showOperationFields();
}

void TfOperacjeDlg::choosePlotFile() {
    std::error_code ec;
    const std::filesystem::path current(plikPlt);
    const bool exists = !plikPlt.empty() && std::filesystem::exists(current, ec);
    const auto chosen = view_.askPlotFile(exists ? current.parent_path() : exeFolder);
    if (!chosen) return;
    if (!std::filesystem::exists(*chosen, ec)) {
        showMessage(txt(section, "PlikWeNieIstnieje") + "\r\n" + *chosen, true);
        return;
    }
    plikPlt = *chosen;
    parameterEdited();
    view_.showOperationFields();
}

bool TfOperacjeDlg::refuse(const std::string& text, OperationField field) {
    view_.focusOperationField(field);
    showMessage(text, true);
    return false;
}

bool TfOperacjeDlg::ok() {
    const std::string name(trimSpaces(nazwa));
    if (name.empty()) return refuse(txt(section, "BrakNazwyOperacji"), OperationField::name);
    const bool editing = Tryb_Pracy == 0;
    if (!editing && operationLibrary && operationLibrary->JestTakaOperacja(name, -1))
        return refuse(txt(section, "OperacjaIstnieje"), OperationField::name);
    // An edited operation may take another one's name once the person agrees:
    // that operation is replaced, its file goes when this one is written.
    std::string replaced;
    if (editing && operationLibrary && operationLibrary->JestTakaOperacja(name, IndxNaLiscie)) {
        if (askConfirmation(txt(section, "CzyOperacjePokryc"), Buttons::YesNoCancel) !=
            Button::Yes) {
            view_.focusOperationField(OperationField::name);
            return false;
        }
        for (std::size_t i = 0; i < operationLibrary->Lista.size(); ++i)
            if (static_cast<int>(i) != IndxNaLiscie &&
                sameText(operationLibrary->Lista[i]->nazwa, name))
                replaced = operationLibrary->Lista[i]->nazwa;
    }
    if (name.find_first_of(reservedNameCharacters) != std::string::npos)
        return refuse(txt(section, "ZabronioneZnaki") + "\n\r" + reservedNameCharacters,
                      OperationField::name);
    if (biezacyTypOper == opUnknown)
        return refuse(txt(section, "WybierzTyp"), OperationField::type);
    if (biezacyTypOper == opPlotHatching && trimSpaces(plikPlt).empty()) {
        refuse(txt(section, "WybierzPlikWe"), OperationField::plotFile);
        choosePlotFile();
        return false;
    }
    if (biezacyTypOper != opPrinting && biezacyTypOper != opOutline && toolIndex_ < 0)
        return refuse(txt(section, "WybierzNarzedzie"), OperationField::tool);

    const OperationGroups g = groups();
    const std::tuple<const FltField*, OperationField, bool> fields[] = {
        {&warstwaSzer, OperationField::width, g.width},
        {&warstwaGrubosc, OperationField::depth, g.depth},
        {&kat, OperationField::angle, g.angle},
        {&zostawDoNastOper, OperationField::allowance, g.allowance},
        {&szybkosc, OperationField::feed, g.speeds},
        {&szybkoscPrzestawcza, OperationField::rapid, g.speeds},
        {&posuwWiercenia, OperationField::plunge, g.plungeAndSpindle},
        {&obroty, OperationField::spindle, g.plungeAndSpindle},
        {&granicaZdolna, OperationField::lowerZ, g.zLimits},
        {&granicaZgorna, OperationField::upperZ, g.zLimits},
        {&tempRobocza, OperationField::temperature, g.printer},
        {&zuzycieMaterialu, OperationField::materialUse, g.printer},
        {&iloscObrysow, OperationField::outlines, g.printer},
        {&poziomObrysu, OperationField::level, g.outline},
    };
    for (const auto& [field, id, shown] : fields)
        if (shown)
            // The number of outlines is a count.
            if (auto problem =
                    field == &iloscObrysow ? field->intProblem() : field->floatProblem()) {
                view_.focusOperationField(id);
                showMessage(*problem, true);
                return false;
            }
    if (g.zLimits && granicaZgorna.GetValue() < granicaZdolna.GetValue())
        return refuse(granicaZdolna.name() + txt(section, "NieMozeBycWieksza") +
                          granicaZgorna.name(),
                      OperationField::lowerZ);

    const TOperacjaDane operation = record(name);
    const auto file = operationFile(name);
    if (!saveOperationFile(file, operation)) {
        showMessage(txt("Other", "bladWykonania") + "\n\r" + file.string(), true);
        return false;
    }
    // A renamed operation keeps one file: the old one goes once the new one is
    // written, and so does the file of one it replaced under a name in other letters.
    for (const std::string& other : {editing ? oldName : std::string(), replaced}) {
        std::error_code ec;
        if (!other.empty() && operationFile(other) != file &&
            std::filesystem::exists(operationFile(other), ec))
            deleteFileReported(operationFile(other));
    }
    Operacja_Dane = operation;
    Zapisano = true;
    return true;
}

TOperacjaDane TfOperacjeDlg::record(const std::string& name) const {
    const OperationGroups g = groups();
    TOperacjaDane o;
    o.nazwa = name;
    o.idTyp = biezacyTypOper;
    o.plikPlt = plikPlt;
    if (toolIndex_ >= 0)
        o.narzedzie = tools_[static_cast<std::size_t>(toolIndex_)].id.substr(0, 38);
    o.warstwaSzer = warstwaSzer.GetValue();
    o.warstwaGrubosc = warstwaGrubosc.GetValue();
    o.warstwyGrupowanie = warstwyGrupowanie;
    o.kat = kat.GetValue();
    o.zostawDoNastOper = zostawDoNastOper.GetValue();
    o.szybkosc = szybkosc.GetValue();
    o.szybkoscPrzestawcza = szybkoscPrzestawcza.GetValue();
    o.posuwWiercenia = posuwWiercenia.GetValue();
    o.obroty = obroty.GetValue();
    o.granicaZdolna = granicaZdolna.GetValue();
    o.granicaZgorna = granicaZgorna.GetValue();
    if (!zLimitsEnabled()) {
        o.granicaZdolna = 0;
        o.granicaZgorna = defaultUpperZ;
    }
    o.polaczoneKonce = polaczoneKonce;
    o.miekkieWejscie = miekkieWejscie;
    o.ObliczeniaPrecyzyjne = g.precise && ObliczeniaPrecyzyjne;
    o.tempRobocza = tempRobocza.GetValue();
    o.zuzycieMaterialu = zuzycieMaterialu.GetValue();
    o.iloscObrysow = static_cast<int>(std::lround(iloscObrysow.GetValue()));
    o.automatycznyPoziom = automatycznyPoziom;
    o.poziomObrysu = poziomObrysu.GetValue();
    o.opis = opis;
    return o;
}

} // namespace korvane
