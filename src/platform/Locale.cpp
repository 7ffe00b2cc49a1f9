#include "platform/Locale.h"

#include <cstdlib>

namespace korvane {

int countryCodeOfLocale(std::string_view locale) {
    size_t underscore = locale.find('_');
    if (underscore == std::string_view::npos) return 1;
    std::string_view territory = locale.substr(underscore + 1);
    territory = territory.substr(0, territory.find_first_of(".@"));
    if (territory == "PL") return 48;
    if (territory == "RU") return 7;
    if (territory == "FR") return 33;
    if (territory == "CN") return 86;
    if (territory == "SK") return 421;
    return 1;
}

int systemCountryCode() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return countryCodeOfLocale(value);
    }
    return 1;
}

} // namespace korvane
