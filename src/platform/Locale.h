#pragma once

#include <string_view>

namespace korvane {

// The telephone country code of the user's territory, from LC_ALL, LC_MESSAGES
// or LANG (pl_PL 48, ru_RU 7, fr_FR 33, zh_CN 86, sk_SK 421, anything else 1).
int systemCountryCode();

// The same for one locale name such as "pl_PL.UTF-8".
int countryCodeOfLocale(std::string_view locale);

} // namespace korvane
