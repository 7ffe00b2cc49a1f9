#include "foundation/CommandLine.h"

#include "foundation/NumberText.h"
#include "foundation/State.h"

#include <algorithm>
#include <strings.h>

namespace korvane {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

bool hasSwitch(std::string_view name) {
    return std::any_of(programArguments.begin(), programArguments.end(),
                       [&](const std::string& a) { return equalsIgnoringCase(a, name); });
}

std::optional<std::string> switchValue(std::string_view name) {
    for (const std::string& a : programArguments) {
        std::string_view arg = a;
        if (arg.size() <= name.size() || arg[name.size()] != '=' ||
            !equalsIgnoringCase(arg.substr(0, name.size()), name))
            continue;
        std::string_view value = arg.substr(name.size() + 1);
        if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

bool noUsbSwitch() {
    for (size_t i = 0; i < programArguments.size() && i < 2; ++i)
        if (programArguments[i] == "95") return true;
    return false;
}

std::optional<double> surfacingFractionOption() {
    auto value = switchValue("SurfacingPercent");
    if (!value) return std::nullopt;
    std::replace(value->begin(), value->end(), ',', '.');
    auto p = parseReal(*value);
    if (!p) return std::nullopt;
    return std::clamp(*p, 1.0, 5.0) / 100.0;
}

} // namespace korvane
