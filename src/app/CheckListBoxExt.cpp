#include "app/CheckListBoxExt.h"

#include "foundation/TextCompare.h"

#include <algorithm>

namespace korvane {

bool TCheckListBoxExt::isChecked(int index) const {
    return index >= 0 && index < count() &&
           items[static_cast<std::size_t>(index)].state != CheckState::Unchecked;
}

int TCheckListBoxExt::IloscZaznaczonych() const {
    int n = 0;
    for (int i = 0; i < count(); ++i) n += isChecked(i);
    return n;
}

int TCheckListBoxExt::NastepnyZaznaczony(int szukajOd) const {
    for (int i = std::max(szukajOd + 1, 0); i < count(); ++i)
        if (isChecked(i)) return i;
    return -1;
}

void TCheckListBoxExt::WszystkieZaznacz() {
    for (auto& e : items) e.state = CheckState::Checked;
}

void TCheckListBoxExt::WszystkieGrayNaChecked() {
    for (auto& e : items)
        if (e.state == CheckState::Grayed) e.state = CheckState::Checked;
}

void TCheckListBoxExt::WszystkieWylacz() {
    for (auto& e : items) e.state = CheckState::Unchecked;
}

void TCheckListBoxExt::ZapamietajZaznaczone() {
    lZazn.clear();
    for (const auto& e : items)
        if (e.state == CheckState::Checked) lZazn.push_back(e.name);
}

void TCheckListBoxExt::PrzywrocZaznaczenie() {
    for (auto& e : items)
        if (std::any_of(lZazn.begin(), lZazn.end(),
                        [&](const std::string& n) { return sameText(n, e.name); }))
            e.state = CheckState::Checked;
}

} // namespace korvane
