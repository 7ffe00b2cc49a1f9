#include "app/NarzedzieDlg.h"

#include "foundation/Guid.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryState.h"

#include <array>
#include <filesystem>

namespace korvane {

namespace {

const char* const section = "Tools_dialog";

// Sizes a tool may have, mm: a tip and a shank of some width, no dimension
// beyond what any machine holds.
constexpr double smallestSize = 0.01;
constexpr double largestDiameter = 500;
constexpr double largestLength = 1000;

} // namespace

TfNarzedzieDlg::TfNarzedzieDlg(ToolDialogView& view) : view_(view) {
    setUpFields();
}

TfNarzedzieDlg::TfNarzedzieDlg(ToolDialogView& view, const TFrezDane& tool, int index)
    : Tryb_Pracy(0), IndxNaLiscie(index), idEdytowanego(tool.id), oldName(tool.nazwa),
      nazwa(tool.nazwa), typ(tool.typ), view_(view) {
    setUpFields();
    d1.SetValue(tool.d1);
    d2.SetValue(tool.d2);
    h.SetValue(tool.h);
    d3.SetValue(tool.d3);
    hc.SetValue(tool.hc);
    if (typ < toolEndMill || typ > toolConical) typ = -1;
    if (typ != toolConical && typ >= 0) d2.setText("0");
}

void TfNarzedzieDlg::setUpFields() {
    const std::array<std::pair<FltField*, const char*>, 5> fields = {
        {{&d1, "d1"}, {&d2, "d2"}, {&h, "h"}, {&d3, "d3"}, {&hc, "hc"}}};
    for (auto [field, label] : fields) {
        field->setFormat(FloatFormat::fixed, 15, 3);
        field->changeunit(settings.jednostkaMiary);
        field->SetNzwPola(label);
    }
    d1.setLimits(smallestSize, largestDiameter);
    d2.setLimits(0, largestDiameter);
    d3.setLimits(smallestSize, largestDiameter);
    h.setLimits(smallestSize, largestLength);
    hc.setLimits(smallestSize, largestLength);
}

std::string TfNarzedzieDlg::caption() const {
    return txt(section, Tryb_Pracy == 0 ? "captionEdycja" : "captionNowy");
}

void TfNarzedzieDlg::show() {
    ZmianaNazwy = true;
    view_.showToolFields();
}

void TfNarzedzieDlg::setName(const std::string& name) {
    nazwa = name;
    ZmianaNazwy = true;
}

void TfNarzedzieDlg::setType(int type) {
    typ = type >= toolEndMill && type <= toolConical ? type : -1;
    if (typ == toolEndMill || typ == toolBallNose) d2.setText("0");
    view_.showToolFields();
}

void TfNarzedzieDlg::toggleDimensionLines() {
    LinieWymiaroweWidoczne = !LinieWymiaroweWidoczne;
    view_.showToolFields();
}

bool TfNarzedzieDlg::refuse(const std::string& text, ToolField field) {
    view_.focusToolField(field);
    showMessage(text, true);
    return false;
}

bool TfNarzedzieDlg::ok() {
    const std::string name(trimSpaces(nazwa));
    if (name.empty()) return refuse(txt(section, "podajNazwe"), ToolField::name);
    const bool editing = Tryb_Pracy == 0;
    if (!editing && toolLibrary && toolLibrary->JestTakiFrez(name, -1))
        return refuse(txt(section, "narzedzieIstnieje"), ToolField::name);
    // An edited tool may take another tool's name once the person agrees: that
    // tool is replaced, its file goes when this one is written.
    std::string replaced;
    if (editing && toolLibrary && toolLibrary->JestTakiFrez(name, IndxNaLiscie)) {
        if (askConfirmation(txt(section, "narzedzieIstniejeCzyDalej"), Buttons::YesNoCancel) !=
            Button::Yes) {
            view_.focusToolField(ToolField::name);
            return false;
        }
        for (std::size_t i = 0; i < toolLibrary->Lista.size(); ++i)
            if (static_cast<int>(i) != IndxNaLiscie && sameText(toolLibrary->Lista[i]->nazwa, name))
                replaced = toolLibrary->Lista[i]->nazwa;
    }
    if (name.find_first_of(reservedNameCharacters) != std::string::npos)
        return refuse(txt(section, "znakiZastrzezone") + "\n\r" + reservedNameCharacters,
                      ToolField::name);
    if (typ < 0) return refuse(txt(section, "wybierzeTyp"), ToolField::type);
    const std::array<std::pair<const FltField*, ToolField>, 5> sizes = {{{&d1, ToolField::d1},
                                                                         {&d2, ToolField::d2},
                                                                         {&h, ToolField::h},
                                                                         {&d3, ToolField::d3},
                                                                         {&hc, ToolField::hc}}};
    for (auto [field, id] : sizes)
        if (auto problem = field->floatProblem()) {
            view_.focusToolField(id);
            showMessage(*problem, true);
            return false;
        }
    if (d1.GetValue() > d3.GetValue())
        return refuse(txt(section, "srednicaUchwytuZaDuza"), ToolField::d1);
    if (typ == toolConical && d2.GetValue() > d3.GetValue())
        return refuse(txt(section, "srednicaUchwytuZaDuza"), ToolField::d2);
    if (h.GetValue() > hc.GetValue()) return refuse(txt(section, "HcZaMale"), ToolField::h);

    TFrezDane tool;
    tool.id = Tryb_Pracy == 0 ? idEdytowanego : newGuid();
    tool.nazwa = name;
    tool.typ = typ;
    tool.d1 = d1.GetValue();
    tool.d2 = typ == toolConical ? d2.GetValue() : 0;
    tool.h = h.GetValue();
    tool.d3 = d3.GetValue();
    tool.hc = hc.GetValue();
    const auto file = toolFile(name);
    if (!saveToolFile(file, tool)) {
        showMessage(txt("Other", "bladWykonania") + "\n\r" + file.string(), true);
        return false;
    }
    // A renamed tool keeps one file: the old one goes once the new one is written,
    // and so does the file of a tool it replaced under a name in other letters.
    for (const std::string& other : {editing ? oldName : std::string(), replaced}) {
        std::error_code ec;
        if (!other.empty() && toolFile(other) != file &&
            std::filesystem::exists(toolFile(other), ec))
            deleteFileReported(toolFile(other));
    }
    Frez_Dane = tool;
    Zapisano = true;
    return true;
}

} // namespace korvane
