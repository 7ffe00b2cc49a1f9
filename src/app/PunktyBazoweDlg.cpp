#include "app/PunktyBazoweDlg.h"

#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace korvane {

namespace {

std::string field9(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%9.2f", v);
    return text;
}

// The first `count` characters of a UTF-8 text.
std::string firstCharacters(const std::string& text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < text.size() && n < count; ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return text.substr(0, i);
}

std::optional<double> localeNumber(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return parseReal(text);
}

} // namespace

std::string basePointLine(double x, double y, const std::string& name) {
    return "X=" + field9(x) + "   Y=" + field9(y) + " " +
           firstCharacters(name, basePointNameLength);
}

std::optional<BasePoint> parseBasePointLine(const std::string& line) {
    const auto px = line.find("X="), py = line.find("Y=");
    if (px == std::string::npos || py == std::string::npos) return std::nullopt;
    const auto x = localeNumber(line.substr(px + 2, 9));
    const auto y = localeNumber(line.substr(py + 2, 9));
    if (!x || !y) return std::nullopt;
    BasePoint p{*x, *y, {}};
    if (py + 11 < line.size()) {
        const auto start = line.find_first_not_of(' ', py + 11);
        if (start != std::string::npos)
            p.name = firstCharacters(line.substr(start), basePointNameLength);
    }
    return p;
}

std::filesystem::path basePointsFile() {
    return dataFolder / "base.txt";
}

std::vector<std::string> loadBasePoints(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {defaultBasePointLine};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::vector<std::string> lines;
    std::istringstream text(fromFileText(bytes.str()));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool saveBasePoints(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return writeFileAtomically(file, toFileText(text));
}

TPunkty_bazowe::TPunkty_bazowe(BasePointsView& view) : view_(view) {
    for (FltField* f : {&pbx, &pby}) f->setFormat(FloatFormat::fixed, 9, 2);
    pbx.SetNzwPola("X");
    pby.SetNzwPola("Y");
}

void TPunkty_bazowe::FormCreate() {
    lista = loadBasePoints(basePointsFile());
    pbx.setLimits(0, workArea.x);
    pby.setLimits(0, workArea.y);
}

void TPunkty_bazowe::FormActivate() {
    pbx.SetValue(plotstate.pos0.x / 100.0);
    pby.SetValue(plotstate.pos0.y / 100.0);
    view_.showBasePoints();
}

void TPunkty_bazowe::FormDestroy() {
    saveBasePoints(basePointsFile(), lista);
}

void TPunkty_bazowe::wpaClick() {
    ReadPositions();
    pbx.SetValue(plotstate.abspos.x / 100.0);
    pby.SetValue(plotstate.abspos.y / 100.0);
    view_.closeDialog(true);
}

void TPunkty_bazowe::listaClick(int index) {
    selected = index >= 0 && index < static_cast<int>(lista.size()) ? index : -1;
    przepiszEnabled = usunEnabled = selected >= 0;
    PrzepiszClick();
}

void TPunkty_bazowe::listaDblClick(int index) {
    listaClick(index);
    if (selected >= 0) view_.closeDialog(true);
}

void TPunkty_bazowe::PrzepiszClick() {
    if (selected < 0) return;
    if (const auto p = parseBasePointLine(lista[static_cast<std::size_t>(selected)])) {
        pbx.SetValue(p->x);
        pby.SetValue(p->y);
        komentarz = p->name;
    }
    view_.showBasePoints();
}

bool TPunkty_bazowe::pointValid() {
    for (FltField* f : {&pbx, &pby})
        if (const auto problem = f->floatProblem()) {
            view_.focusBasePointField(f == &pby);
            showMessage(*problem, true);
            return false;
        }
    return true;
}

void TPunkty_bazowe::DodajClick() {
    if (!pointValid()) return;
    lista.push_back(basePointLine(pbx.GetValue(), pby.GetValue(), komentarz));
    selected = static_cast<int>(lista.size()) - 1;
    przepiszEnabled = usunEnabled = true;
    view_.showBasePoints();
}

void TPunkty_bazowe::usunClick() {
    if (selected < 0 || selected >= static_cast<int>(lista.size())) return;
    lista.erase(lista.begin() + selected);
    selected = -1;
    przepiszEnabled = usunEnabled = false;
    view_.showBasePoints();
}

void TPunkty_bazowe::ustawClick() {
    if (!pointValid()) return;
    view_.closeDialog(true);
}

void setBasePoint(double x, double y) {
    plotstate.pos0.x = static_cast<float>(x * 100);
    plotstate.pos0.y = static_cast<float>(y * 100);
    SetWorkOriginXY();
}

} // namespace korvane
