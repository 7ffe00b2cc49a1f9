#pragma once

#include <string>
#include <vector>

// The operation check list of the main window as data: each entry an operation
// name, its record and a check state; the window shows it.
namespace korvane {

struct TOperacjaDane;

enum class CheckState { Unchecked, Checked, Grayed };

struct CheckListEntry {
    std::string name;
    TOperacjaDane* data = nullptr; // the library's record
    CheckState state = CheckState::Unchecked;
};

class TCheckListBoxExt {
  public:
    // Entries whose state is checked or grayed.
    int IloscZaznaczonych() const;
    // The first checked or grayed entry after `szukajOd` (-1: from the start); -1 when none.
    int NastepnyZaznaczony(int szukajOd) const;
    void WszystkieZaznacz();
    void WszystkieWylacz();
    // Every grayed entry becomes checked.
    void WszystkieGrayNaChecked();
    // lZazn := the names of all checked entries.
    void ZapamietajZaznaczone();
    // Checks every entry whose name is in lZazn, ignoring case.
    void PrzywrocZaznaczenie();

    bool isChecked(int index) const;
    int count() const { return static_cast<int>(items.size()); }

    std::vector<CheckListEntry> items;
    std::vector<std::string> lZazn; // remembered names
};

} // namespace korvane
