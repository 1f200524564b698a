#pragma once
// The locale-country port: the telephone country code of the user's locale territory.

#include <string_view>

namespace varnholt {

// The country code for the locale variables' values as POSIX reads them: the first non-empty of LC_ALL, LC_MESSAGES
// and LANG names the locale ("pl_PL.UTF-8" gives 48). A locale without a territory ("C", "POSIX", "en") or with a
// territory not in the table gives 1.
int CountryCodeFromLocale(std::string_view lc_all, std::string_view lc_messages, std::string_view lang);

// The territory part of a locale name: "DE" of "de_DE.UTF-8@euro"; empty when there is none.
std::string_view LocaleTerritory(std::string_view locale_name);

// The telephone country code of a two-letter territory (ISO 3166, upper or lower case); 0 when unknown.
int CountryCodeOfTerritory(std::string_view territory);

// The country code of this process's locale, read from the environment.
int LocaleCountryCode();

}  // namespace varnholt
