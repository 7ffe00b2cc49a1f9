#pragma once

#include "app/FltEdit.h"
#include "foundation/Records.h"

#include <filesystem>
#include <optional>
#include <string>

// The material dialog's logic: the source of the material and the fields it
// enables, the checks of OK, and writing the material back into the project
// with the raster sizes it needs.
namespace korvane {

enum class MaterialField { source, width, length, height, coating, file, pad };

class MaterialDialogView {
  public:
    virtual ~MaterialDialogView() = default;
    // Shows every field from the state; only the chosen source's are enabled.
    virtual void showMaterialFields() = 0;
    virtual void focusMaterialField(MaterialField field) = 0;
    // The stock file's open dialog; nullopt when cancelled.
    virtual std::optional<std::string> askStockFile(const std::string& title,
                                                    const std::string& filter,
                                                    const std::filesystem::path& folder) = 0;
};

class TfMaterialDlg {
  public:
    // Shows the project's material over a model of extents `model`.
    TfMaterialDlg(MaterialDialogView& view, const TModel& model);

    void show();
    // The user chose a source: width, length, height and coating start at 0.
    void setSource(int source);
    // Width, length and height of the model (source 0).
    void takeModelDimensions();
    void chooseStockFile();
    // OK: the checks, then the project's material and the raster; true when saved.
    bool ok();
    // The stock file differs from the one shown at opening.
    bool stockFileChanged() const { return plikMaterialu != poczWartZpliku; }

    TModel ModelPar;
    std::string poczWartZpliku;
    bool zapisano = false;

    int zrodlo = 0;
    std::string plikMaterialu;
    FltField szerokosc{true}, dlugosc{true}, wysokosc{true}, powloka{true}, podkladka{true};

  private:
    void resetSizes();
    bool refuse(const std::string& text, MaterialField field, bool error);

    MaterialDialogView& view_;
};

} // namespace korvane
