#pragma once

#include "app/FltEdit.h"
#include "libraries/Operacje.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The operation dialog's logic: the type list and the fields each type shows,
// the automatic defaults, the limits from the machine, the checks of OK with
// the message and focus of each, and saving the operation's file.
namespace korvane {

enum class OperationField {
    name,
    type,
    tool,
    plotFile,
    width,
    depth,
    angle,
    allowance,
    feed,
    rapid,
    plunge,
    spindle,
    lowerZ,
    upperZ,
    temperature,
    materialUse,
    outlines,
    level,
};

// The field groups one operation type shows.
struct OperationGroups {
    bool tool, plotFile, width, depth, grouping, angle, connect, softEntry, allowance, speeds,
        plungeAndSpindle, zLimits, printer, outline, precise;
};
OperationGroups operationGroups(int type);

class OperationDialogView {
  public:
    virtual ~OperationDialogView() = default;
    // Shows every field from the dialog's state, the groups of its type, the
    // enabled state of the Z limits and the connect box's caption.
    virtual void showOperationFields() = 0;
    virtual void focusOperationField(OperationField field) = 0;
    // The plot file's open dialog starting in `folder`; nullopt when cancelled.
    virtual std::optional<std::string> askPlotFile(const std::filesystem::path& folder) = 0;
};

struct ToolChoice {
    std::string name;
    std::string id;
    double d1 = 0;
};

class TfOperacjeDlg {
  public:
    // A new operation: empty fields until a type is chosen.
    explicit TfOperacjeDlg(OperationDialogView& view);
    // Editing the operation at `index` of the library.
    TfOperacjeDlg(OperationDialogView& view, const TOperacjaDane& operation, int index);

    std::string caption() const;
    // Shows the state and reports a missing plot file of an edited operation.
    void show();

    // The user's edits.
    void setName(const std::string& name);
    void chooseType(int listIndex); // -1: none
    void chooseTool(int listIndex); // -1: none
    void setConnect(bool on);
    // A parameter field or box was changed by hand: no more automatic defaults.
    void parameterEdited() { zmienianoRecznie = true; }
    void applyDefaults();
    // The plot file's open button.
    void choosePlotFile();

    // OK: the checks in order, then the file; true when saved.
    bool ok();

    const std::vector<rTypOperacji>& types() const { return types_; }
    const std::vector<ToolChoice>& tools() const { return tools_; }
    int typeIndex() const { return typeIndex_; }
    int toolIndex() const { return toolIndex_; }
    OperationGroups groups() const { return operationGroups(biezacyTypOper); }
    bool zLimitsEnabled() const { return !(biezacyTypOper == opHatching && polaczoneKonce); }

    int Tryb_Pracy = 1;
    int IndxNaLiscie = -1;
    bool ZmianaNazwy = false;
    bool Zapisano = false;
    TOperacjaDane Operacja_Dane; // the saved record
    std::string oldName;         // the edited operation's name when the dialog opened
    int biezacyTypOper = opUnknown;
    bool zmienianoRecznie = false;

    std::string nazwa, plikPlt, opis;
    bool warstwyGrupowanie = false, polaczoneKonce = false, miekkieWejscie = false,
         ObliczeniaPrecyzyjne = false, automatycznyPoziom = false;
    FltField warstwaSzer{true}, warstwaGrubosc{true}, kat, zostawDoNastOper{true}, szybkosc{true},
        szybkoscPrzestawcza{true}, posuwWiercenia{true}, obroty, granicaZdolna{true},
        granicaZgorna{true}, tempRobocza, zuzycieMaterialu, iloscObrysow, poziomObrysu;

  private:
    void setUpLists();
    void setUpFields();
    void setFeedLimit();
    void automaticDefaults();
    bool refuse(const std::string& text, OperationField field);
    TOperacjaDane record(const std::string& name) const;

    OperationDialogView& view_;
    std::vector<rTypOperacji> types_;
    std::vector<ToolChoice> tools_;
    int typeIndex_ = -1;
    int toolIndex_ = -1;
};

} // namespace korvane
