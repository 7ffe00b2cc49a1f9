#include "foundation/Units.h"

namespace korvane {

double unitFactor(int unit) {
    switch (unit) {
    case unitInch:
        return 25.4;
    case unitFoot:
        return 304.8;
    default:
        return 1.0;
    }
}

int unitDecimals(int unit) {
    return unit == unitFoot ? 4 : 3;
}

} // namespace korvane
