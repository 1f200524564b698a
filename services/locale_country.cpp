#include "services/locale_country.h"

#include <array>
#include <cstdlib>

namespace varnholt {
namespace {

struct TerritoryCode {
  std::string_view territory;
  int country_code;
};

// Territories of the languages the program knows, their neighbours and the usual others.
constexpr std::array<TerritoryCode, 73> kTerritories{{
    {"AE", 971}, {"AR", 54},  {"AT", 43},  {"AU", 61},  {"BA", 387}, {"BE", 32},  {"BG", 359}, {"BH", 973},
    {"BR", 55},  {"BY", 375}, {"CA", 1},   {"CH", 41},  {"CL", 56},  {"CN", 86},  {"CO", 57},  {"CY", 357},
    {"CZ", 420}, {"DE", 49},  {"DK", 45},  {"DZ", 213}, {"EE", 372}, {"EG", 20},  {"ES", 34},  {"FI", 358},
    {"FR", 33},  {"GB", 44},  {"GR", 30},  {"HK", 852}, {"HR", 385}, {"HU", 36},  {"ID", 62},  {"IE", 353},
    {"IL", 972}, {"IN", 91},  {"IQ", 964}, {"IS", 354}, {"IT", 39},  {"JO", 962}, {"JP", 81},  {"KR", 82},
    {"KW", 965}, {"KZ", 7},   {"LB", 961}, {"LT", 370}, {"LU", 352}, {"LV", 371}, {"MA", 212}, {"MD", 373},
    {"MX", 52},  {"NL", 31},  {"NO", 47},  {"NZ", 64},  {"OM", 968}, {"PL", 48},  {"PT", 351}, {"QA", 974},
    {"RO", 40},  {"RS", 381}, {"RU", 7},   {"SA", 966}, {"SE", 46},  {"SG", 65},  {"SI", 386}, {"SK", 421},
    {"SY", 963}, {"TN", 216}, {"TR", 90},  {"TW", 886}, {"UA", 380}, {"US", 1},   {"VN", 84},  {"YE", 967},
    {"ZA", 27},
}};

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string_view(value) : std::string_view();
}

}  // namespace

std::string_view LocaleTerritory(std::string_view locale_name) {
  const size_t underscore = locale_name.find('_');
  if (underscore == std::string_view::npos) return {};
  std::string_view rest = locale_name.substr(underscore + 1);
  return rest.substr(0, rest.find_first_of(".@"));
}

int CountryCodeOfTerritory(std::string_view territory) {
  if (territory.size() != 2) return 0;
  const char upper[2] = {AsciiUpper(territory[0]), AsciiUpper(territory[1])};
  const std::string_view key(upper, 2);
  for (const TerritoryCode& entry : kTerritories) {
    if (entry.territory == key) return entry.country_code;
  }
  return 0;
}

int CountryCodeFromLocale(std::string_view lc_all, std::string_view lc_messages, std::string_view lang) {
  std::string_view locale_name = !lc_all.empty() ? lc_all : !lc_messages.empty() ? lc_messages : lang;
  const int code = CountryCodeOfTerritory(LocaleTerritory(locale_name));
  return code != 0 ? code : 1;
}

int LocaleCountryCode() { return CountryCodeFromLocale(Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")); }

}  // namespace varnholt
