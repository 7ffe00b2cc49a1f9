#include "app/PktStartDlg.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/OperationTypes.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "output/DaneWyjsciowe.h"

#include <cmath>

namespace korvane {

TfPktStartDlg::TfPktStartDlg() {
    zZetem = !(outputReader && isHatching(outputReader->typOperacji));
    if (project) {
        maxX = static_cast<double>(project->d.material.rozmX);
        maxY = static_cast<double>(project->d.material.rozmY);
        maxZ = static_cast<double>(project->d.material.rozmZ);
    }
}

bool TfPktStartDlg::btnZapiszClick() {
    startFigureIndex = 0;
    startPointIndex = 0;
    if (x == 0 && y == 0 && z == 0) return false;
    if (!outputReader) return false;
    // The preset point, unchanged to the field's precision, is where the
    // operator pointed.
    const auto same = [](double a, double b) { return std::fabs(a - b) < 0.0006; };
    if (preset_ && same(x, presetX_) && same(y, presetY_) && (!zZetem || same(z, presetZ_))) {
        startFigureIndex = preset_->figure;
        startPointIndex = preset_->point;
        return true;
    }
    outputReader->UstawNajblizszyPktStartowy(
        {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)},
        outputReader->typOperacji);
    return true;
}

bool TfPktStartDlg::preset(StartPoint at) {
    if (!outputReader || at.figure < 0 ||
        at.figure >= static_cast<int>(outputReader->ListaFigur.size()))
        return false;
    const auto& points = outputReader->ListaFigur[static_cast<std::size_t>(at.figure)]->poz;
    if (at.point < 0 || at.point >= static_cast<int>(points.size())) return false;
    const TrPkt3D& p = points[static_cast<std::size_t>(at.point)];
    preset_ = at;
    x = presetX_ = p.x;
    y = presetY_ = p.y;
    z = presetZ_ = zZetem ? p.z : 0;
    return true;
}

bool TfPktStartDlg::takeCurrent(bool takeX, bool takeY, bool takeZ) {
    ReadStatus();
    if (!linkUp()) {
        showMessage(txt("Ploter", "brakLacznosciZploterem"), true,
                    txt("Start_point_selection_dialog", "bazuj"));
        return false;
    }
    ReadPositions();
    ReadWorkOrigin();
    const tplotstate& s = plotstate;
    const bool overX = s.pos0.x <= s.abspos.x && s.abspos.x <= s.pos0.x + maxX * 100;
    const bool overY = s.pos0.y <= s.abspos.y && s.abspos.y <= s.pos0.y + maxY * 100;
    if (!overX || !overY) {
        showMessage(txt("Start_point_selection_dialog", "PrzesunFrezNadMaterial"), false);
        return false;
    }
    const double substrate =
        project ? static_cast<double>(project->d.material.gruboscPodkladki) : 0;
    if (takeX) x = (s.abspos.x - s.pos0.x) / 100.0;
    if (takeY) y = (s.abspos.y - s.pos0.y) / 100.0;
    if (takeZ && zZetem) z = (s.pos0.z + s.abspos.z) / 100.0 - substrate;
    return true;
}

} // namespace korvane
