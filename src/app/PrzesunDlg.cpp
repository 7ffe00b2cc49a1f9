#include "app/PrzesunDlg.h"

#include "foundation/NumberText.h"

namespace korvane {

Tprzesun::Tprzesun(MoveDialogView& view) : view_(view) {
    for (FltField* f : {&delta_x, &delta_y, &delta_z}) {
        f->setFormat(FloatFormat::fixed, 9, 2);
        f->SetValue(0);
    }
    recomputeSum();
}

MoveVector Tprzesun::inputs() {
    return {delta_x.GetValue(), delta_y.GetValue(), delta_z.GetValue()};
}

void Tprzesun::WykonajClick() {
    moveByNumbers(Przesun, inputs(), bezosiZ);
}

void Tprzesun::testClick() {
    backAndForthTest(inputs(), [this] { return view_.stopAsked(); });
}

void Tprzesun::btnTasmociagTestClick() {
    conveyorTest(lbSekwencja, [this] { return view_.stopAsked(); });
}

void Tprzesun::toggleService() {
    pSerwisVisible = !pSerwisVisible;
    if (pSerwisVisible) recomputeSum();
    view_.showSequence();
}

void Tprzesun::recomputeSum() {
    eSumaPrzesuwow = sequenceSumText(lbSekwencja);
}

void Tprzesun::lbSekwencjaClick(int index) {
    selected = index >= 0 && index < static_cast<int>(lbSekwencja.size()) ? index : -1;
    fePrzesuw = selected >= 0 ? lbSekwencja[static_cast<std::size_t>(selected)] : "0";
    view_.showSequence();
}

void Tprzesun::sbDodajClick() {
    selected = -1;
    fePrzesuw.clear();
    view_.showSequence();
}

void Tprzesun::sbUsunClick() {
    if (selected < 0) {
        view_.beep();
        return;
    }
    lbSekwencja.erase(lbSekwencja.begin() + selected);
    selected = -1;
    recomputeSum();
    view_.showSequence();
}

void Tprzesun::sbZatwierdzClick() {
    const std::string value(trimSpaces(fePrzesuw));
    if (selected < 0) {
        lbSekwencja.push_back(value);
        selected = static_cast<int>(lbSekwencja.size()) - 1;
    } else {
        lbSekwencja[static_cast<std::size_t>(selected)] = value;
    }
    recomputeSum();
    view_.showSequence();
}

} // namespace korvane
