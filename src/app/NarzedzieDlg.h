#pragma once

#include "app/FltEdit.h"
#include "libraries/Frezy.h"

#include <string>

// The tool dialog's logic: its fields, the type's dependencies, the checks of
// OK with the message and focus of each, and saving the tool's file. The window
// that shows it only displays the state and forwards the user's edits.
namespace korvane {

enum class ToolField { name, type, d1, d2, h, d3, hc };

class ToolDialogView {
  public:
    virtual ~ToolDialogView() = default;
    // Shows every field from the dialog's state: texts, type, whether d2 is
    // enabled, the sketch of the type.
    virtual void showToolFields() = 0;
    virtual void focusToolField(ToolField field) = 0;
};

// Names of tools and operations may not hold these, for they name files.
inline constexpr const char* reservedNameCharacters = "/\\.:?*<>";

class TfNarzedzieDlg {
  public:
    // A new tool: empty fields, no type.
    explicit TfNarzedzieDlg(ToolDialogView& view);
    // Editing the tool at `index` of the library.
    TfNarzedzieDlg(ToolDialogView& view, const TFrezDane& tool, int index);

    // "captionEdycja" or "captionNowy".
    std::string caption() const;
    // Shows the state; the window calls it once it is built.
    void show();
    // The user edited the name.
    void setName(const std::string& name);
    // The user chose a type (-1: none): d2 only for a conical tool.
    void setType(int type);
    // A double click on the sketch.
    void toggleDimensionLines();
    // OK: the checks in order, then the file. True when saved; the window
    // then closes. On a failed check the message has been shown and the
    // field focused.
    bool ok();

    int Tryb_Pracy = 1;    // 0 edit, 1 new
    int IndxNaLiscie = -1; // the edited tool's index; -1 for a new one
    bool ZmianaNazwy = false;
    bool Zapisano = false;
    TFrezDane Frez_Dane; // the saved record
    std::string idEdytowanego;
    std::string oldName; // the edited tool's name when the dialog opened
    bool LinieWymiaroweWidoczne = true;

    std::string nazwa;
    int typ = -1;
    FltField d1{true}, d2{true}, h{true}, d3{true}, hc{true};

  private:
    void setUpFields();
    bool refuse(const std::string& key, ToolField field);

    ToolDialogView& view_;
};

} // namespace korvane
