#include "control/MachineCalibration.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "machine/Identification.h"
#include "machine/MachineState.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {

double calibrationFactor(double given, double realized, double inUse) {
    if (given == 0 || realized == 0) return 1;
    return realized * inUse / given;
}

std::string calibrationText(double factor) {
    char text[64];
    std::snprintf(text, sizeof text, "%.8f", std::fabs(factor));
    std::string digits = text;
    const auto point = digits.find('.');
    for (auto i = static_cast<long>(point) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return factor < 0 ? "-" + digits : digits;
}

bool storeCalibration(double x, double y, double z) {
    auto limited = [](double v) { return std::clamp(v, lowestCalibration, highestCalibration); };
    const double fx = limited(x), fy = limited(y), fz = limited(z);
    WriteCalibration(static_cast<float>(fx), static_cast<float>(fy), static_cast<float>(fz));
    bool stored = true;
    if (!extendedStatus) {
        const auto file = exeFolder / "kalibracja.txt";
        const std::string text =
            formatReal(fx) + "\r\n" + formatReal(fy) + "\r\n" + formatReal(fz) + "\r\n";
        if (!writeFileAtomically(file, text)) {
            showMessage(txt("Other", "bladWykonania") + "\n\r" + file.string(), true);
            stored = false;
        }
    }
    IdentifyMachine();
    return stored;
}

} // namespace korvane
