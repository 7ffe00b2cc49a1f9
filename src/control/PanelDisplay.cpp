#include "control/PanelDisplay.h"

namespace korvane {

std::string speedSlotCaption(int slot) {
    switch (slot) {
    case 0:
        return "szybkoscPrzestawcza";
    case 1:
        return "szybkoscRobocza";
    case 2:
        return "szybkosc";
    case 3:
        return "szybkoscWiercenia";
    default:
        return {};
    }
}

std::string powerSlotCaption(int slot) {
    switch (slot) {
    case 1:
        return "obrotyRobocze";
    case 2:
        return "obroty";
    case 3:
        return "obrotyPolerowania";
    default:
        return {};
    }
}

} // namespace korvane
