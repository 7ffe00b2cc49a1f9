#include "machine/MachineModels.h"

#include "foundation/NumberText.h"

#include <algorithm>

namespace korvane {

namespace {

// Values in field order: mult, speedDivisor, speedFactor, stepsX, stepsY, stepsZ,
// stepsB, maxSpeed, maxFeed, maxRapid, maxPlungeFeed, maxSmoothFeed, minSpeed,
// spindleSpeedMax, spindleSpeedMin, continueWithoutStoredJob, acceleration,
// newSpeedEncoding, sliderMax, three corner coefficients, finishingFeedBound.
const TMachineParams& classicRow = defaultMachineParams;

const TMachineParams smallEngraver{1,   0.75, 3,   0.97917, 0.97917, 0.97966, 0,    1000,
                                   800, 1000, 150, 1000,    12,      24000,   3000, false,
                                   1,   0,    230, 600,     2400,    400,     2000};

const TMachineParams heavyRouter{1,   0.8,   1,    5,     5, 5, 0,   6000, 4000, 6000, 1000, 3000,
                                 100, 24000, 3000, false, 1, 0, 400, 1600, 2400, 1600, 6000};

const TMachineParams heavyRouterHD{1,    0.8,  1,   10,   10,   10,    0,    4000,
                                   3000, 4000, 800, 2500, 100,  24000, 3000, false,
                                   1,    0,    420, 1400, 2400, 1400,  6000};

const TMachineParams twinDrive{2,  0.75,  3,    1.25,  1.25, 1.5, 0,   2500, 1500, 2500, 300, 2000,
                               12, 24000, 3000, false, 0,    0,   360, 900,  2400, 800,  5000};

const TMachineParams printer{1, 1.0 / 80, 2,    2.5,   2.5, 2.5, 3.739, 3000, 2000, 3000, 600, 2000,
                             1, 18000,    3000, false, 1,   1,   300,   1000, 2400, 1000, 5000};

const TMachineParams fastRouter{1,     1.0 / 80, 2,    10,   10,   10,    0,    30000,
                                20000, 30000,    8000, 6000, 1,    24000, 3000, true,
                                4,     1,        480,  1000, 2400, 1000,  10000};

const TMachineParams newerRow{2, 1.0 / 72, 2,    2,    2, 2, 0,   15000, 15000, 15000, 5000, 500,
                              1, 18000,    3000, true, 0, 1, 330, 1000,  2400,  1000,  10000};

const TMachineParams newerLarge{2, 1.0 / 72, 2,    4,    4, 4, 0,   15000, 15000, 15000, 5000, 1500,
                                1, 24000,    3000, true, 1, 1, 330, 1100,  2400,  900,   10000};

const TMachineParams series100{1,  0.75,  2,    3,     3, 3, 0,   3000, 2000, 3000, 400, 2000,
                               12, 24000, 3000, false, 1, 0, 300, 1000, 2400, 1000, 5000};

const TMachineParams series200{1,  0.8,   2,    3,     3, 3, 0,   5000, 3000, 5000, 600, 2500,
                               12, 24000, 3000, false, 1, 0, 380, 1100, 2400, 1100, 6000};

std::string productPart(const std::string& product, std::size_t from, std::size_t count) {
    return from < product.size() ? std::string(trimSpaces(product.substr(from, count)))
                                 : std::string();
}

TNewerGeneration newerGeneration(double sharp, double corner, float motion, bool divisor,
                                 bool acceleration, bool cornerCoef, bool sizeClass) {
    TNewerGeneration g;
    g.present = true;
    g.sharpCornerAngle = sharp;
    g.cornerAngle = corner;
    g.cornerCountAngle = corner;
    g.motionFactor = motion;
    g.motionSettings = {motion == 400 ? 600.0f : 1000.0f, 700.0f};
    g.divisorTimesMult = divisor;
    g.accelerationByFirmware = acceleration;
    g.cornerCoefByFirmware = cornerCoef;
    g.readsSizeClass = sizeClass;
    return g;
}

} // namespace

const std::vector<TMachineModel>& machineModelTable() {
    static const std::vector<TMachineModel> table = {
        {"XKC", "", classicRow, {}, false},
        {"XKD", "", smallEngraver, {}, false},
        {"XLA", "", heavyRouter, {}, false},
        {"XLA", "HD", heavyRouterHD, {}, false},
        {"XKT", "", twinDrive, {}, false},
        {"GPR", "", printer, {}, false},
        {"KWA", "", fastRouter, {}, false},
        {"GMN", "", newerRow, newerGeneration(160, 150, 400, true, true, false, false), true},
        {"GMX", "", newerLarge, newerGeneration(166, 155, 500, false, false, true, true), false},
        {"XSE100", "", series100, {}, false},
        {"XSE200", "", series200, {}, false},
    };
    return table;
}

const std::vector<std::string>& longCodeModels() {
    static const std::vector<std::string> codes = {"XSE"};
    return codes;
}

std::string modelCodeOf(const std::string& product) {
    std::string code = productPart(product, 0, 3);
    const auto& longCodes = longCodeModels();
    if (std::find(longCodes.begin(), longCodes.end(), code) != longCodes.end())
        code += productPart(product, 3, 3);
    return code;
}

const TMachineModel* findMachineModel(const std::string& product) {
    const std::string code = modelCodeOf(product);
    const std::string variant3 = productPart(product, 3, 3);
    const std::string variant4 = productPart(product, 3, 4);
    const TMachineModel* found = nullptr;
    for (const TMachineModel& row : machineModelTable()) {
        if (row.code != code) continue;
        if (!row.variant.empty() && row.variant != variant3 && row.variant != variant4) continue;
        found = &row;
    }
    return found;
}

} // namespace korvane
