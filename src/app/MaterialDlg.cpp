#include "app/MaterialDlg.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "geometry/Raster.h"
#include "libraries/LibraryState.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

const char* const section = "Material_dialog";

// A block or a coating beyond ten metres is a typing error on any machine.
constexpr double largestLength = 10000;
constexpr double largestHeight = 170;
constexpr double lowestPad = -100;

} // namespace

TfMaterialDlg::TfMaterialDlg(MaterialDialogView& view, const TModel& model)
    : ModelPar(model), view_(view) {
    const std::pair<FltField*, const char*> fields[] = {{&szerokosc, "lSzerokosc.Caption"},
                                                        {&dlugosc, "lDlugosc.Caption"},
                                                        {&wysokosc, "lWysokosc.Caption"},
                                                        {&powloka, "lGruboscPowloki.Caption"},
                                                        {&podkladka, "lPodkladka.Caption"}};
    for (auto [field, caption] : fields) {
        field->SetNzwPola(txt(section, caption));
        field->setFormat(FloatFormat::fixed, 15, 3);
        field->changeunit(settings.jednostkaMiary);
    }
    szerokosc.setLimits(0, largestLength);
    dlugosc.setLimits(0, largestLength);
    wysokosc.setLimits(0, largestHeight);
    powloka.setLimits(0, largestLength);
    podkladka.setLimits(lowestPad, largestLength);

    const TMaterial& m = project->d.material;
    // The project's source, then its values over the reset sizes.
    zrodlo = m.zrodlo <= materialFile ? static_cast<int>(m.zrodlo) : 0;
    resetSizes();
    szerokosc.SetValue(static_cast<double>(m.rozmX));
    dlugosc.SetValue(static_cast<double>(m.rozmY));
    wysokosc.SetValue(static_cast<double>(m.rozmZ));
    powloka.SetValue(static_cast<double>(m.gruboscPowloki));
    podkladka.SetValue(static_cast<double>(m.gruboscPodkladki));
    plikMaterialu = m.plikMaterialu;
    poczWartZpliku = m.plikMaterialu;
}

void TfMaterialDlg::show() {
    view_.showMaterialFields();
}

void TfMaterialDlg::resetSizes() {
    for (FltField* f : {&szerokosc, &dlugosc, &wysokosc, &powloka}) f->SetValue(f->minValue());
}

void TfMaterialDlg::setSource(int source) {
    zrodlo = std::clamp(source, 0, 2);
    resetSizes();
    view_.showMaterialFields();
}

void TfMaterialDlg::takeModelDimensions() {
    szerokosc.SetValue(ModelPar.maxX - ModelPar.minX);
    dlugosc.SetValue(ModelPar.maxY - ModelPar.minY);
    wysokosc.SetValue(ModelPar.maxZ);
    view_.showMaterialFields();
}

void TfMaterialDlg::chooseStockFile() {
    std::error_code ec;
    const std::filesystem::path model(project->d.plikModelu);
    const bool modelExists = !model.empty() && std::filesystem::exists(model, ec);
    const std::string filter = txt(section, "plikRhino") + " (*.raw)|*.raw|" +
                               txt(section, "plikDXF3D") + " (*.dxf)|*.dxf|" +
                               txt(section, "wszystkiePliki") + " (*.*)|*.*";
    const auto chosen = view_.askStockFile(txt(section, "wybierzPlikMaterialu"), filter,
                                           modelExists ? model.parent_path() : exeFolder);
    if (!chosen) return;
    plikMaterialu = *chosen;
    view_.showMaterialFields();
}

bool TfMaterialDlg::refuse(const std::string& text, MaterialField field, bool error) {
    view_.focusMaterialField(field);
    showMessage(text, error);
    return false;
}

bool TfMaterialDlg::ok() {
    // A field that is not valid says so with its range; a valid one of the
    // chosen source must still be greater than 0.
    auto invalid = [this](const FltField& f, MaterialField id) {
        const auto problem = f.floatProblem();
        if (!problem) return false;
        view_.focusMaterialField(id);
        showMessage(*problem, true);
        return true;
    };
    if (zrodlo == materialBlock) {
        const std::pair<const FltField*, MaterialField> sizes[] = {
            {&szerokosc, MaterialField::width},
            {&dlugosc, MaterialField::length},
            {&wysokosc, MaterialField::height}};
        for (auto [field, id] : sizes) {
            if (invalid(*field, id)) return false;
            if (!(field->GetValue() > 0))
                return refuse(txt(section, "okreslWszystkieWymiary"), id, false);
        }
    } else if (zrodlo == materialCoating) {
        if (invalid(powloka, MaterialField::coating)) return false;
        if (!(powloka.GetValue() > 0))
            return refuse(txt(section, "gruboscPowlokiMusiBycWiekszaOdZera"),
                          MaterialField::coating, true);
    } else if (trimSpaces(plikMaterialu).empty()) {
        return refuse(txt(section, "wybierzPlikMaterialu"), MaterialField::file, true);
    }
    if (invalid(podkladka, MaterialField::pad)) return false;

    TMaterial& m = project->d.material;
    m.zrodlo = static_cast<std::uint8_t>(zrodlo);
    if (zrodlo == materialBlock) {
        // The block lies under the model: its plan is the model's; the typed
        // width and length only had to be given.
        const double spanX = ModelPar.maxX - ModelPar.minX;
        const double spanY = ModelPar.maxY - ModelPar.minY;
        m.rozmX = spanX;
        m.rozmY = spanY;
        m.rozmZ = wysokosc.GetValue();
        // The layers hold rasterSize + 1 cells, the far edge included: the
        // model's span in cells is enough, and one more would run the paths
        // a cell past the model.
        rasterSizeX = static_cast<int>(
            roundHalfEven(std::max(spanX / pixelSize, static_cast<double>(rasterSizeX))));
        rasterSizeY = static_cast<int>(
            roundHalfEven(std::max(spanY / pixelSize, static_cast<double>(rasterSizeY))));
        rasterSizeZ = static_cast<int>(roundHalfEven(
            std::max((wysokosc.GetValue() + 10) / pixelSize, static_cast<double>(rasterSizeZ))));
    } else if (zrodlo == materialCoating) {
        m.gruboscPowloki = powloka.GetValue();
        rasterSizeX = static_cast<int>(roundHalfEven(modelSize.x / pixelSize));
        rasterSizeY = static_cast<int>(roundHalfEven(modelSize.y / pixelSize));
        rasterSizeZ =
            static_cast<int>(roundHalfEven((powloka.GetValue() + modelSize.z + 10) / pixelSize));
    } else {
        m.plikMaterialu = plikMaterialu;
    }
    m.gruboscPodkladki = podkladka.GetValue();
    // The model stays: its heights are kept, the layers grow to the material.
    allocateRastersKeepingModel();
    zapisano = true;
    return true;
}

} // namespace korvane
