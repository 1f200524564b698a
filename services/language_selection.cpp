#include "services/language_selection.h"

#include <array>

namespace varnholt {
namespace {

struct CountryLanguage {
  int country_code;
  std::string_view language_code;
};

// Countries the locale may select. 46 is missing on purpose: Swedish is chosen only on the command line.
constexpr std::array<CountryLanguage, 12> kLocaleCountries{{
    {kCountryUs, "US"},
    {kCountryRu, "RU"},
    {kCountryFr, "FR"},
    {kCountryEs, "ES"},
    {kCountryHu, "HU"},
    {kCountryIt, "IT"},
    {kCountryRo, "RO"},
    {kCountryPl, "PL"},
    {kCountryDe, "DE"},
    {kCountryCn, "CN"},
    {kCountrySk, "SK"},
    {kCountrySa, "SA"},
}};

struct ArgumentGroup {
  std::array<std::string_view, 3> words;  // unused places stay empty
  int country_code;
  std::string_view language_code;
};

// In the order they are tested; a later match overrides an earlier one.
constexpr std::array<ArgumentGroup, 13> kArgumentGroups{{
    {{"USA", "US", "GB"}, kCountryUs, "US"},
    {{"POLSKA", "PL"}, kCountryPl, "PL"},
    {{"DE"}, kCountryDe, "DE"},
    {{"RU"}, kCountryRu, "RU"},
    {{"CN"}, kCountryCn, "CN"},
    {{"SK"}, kCountrySk, "SK"},
    {{"ITALY", "IT"}, kCountryIt, "IT"},
    {{"SPAIN", "ESPANOL", "ES"}, kCountryEs, "ES"},
    {{"SA"}, kCountrySa, "SA"},
    {{"HU"}, kCountryHu, "HU"},
    {{"RO"}, kCountryRo, "RO"},
    {{"FR"}, kCountryFr, "FR"},
    {{"SE"}, kCountrySe, "SE"},
}};

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool GroupMatches(const ArgumentGroup& group, const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    for (std::string_view word : group.words) {
      if (!word.empty() && EqualsIgnoringCase(argument, word)) return true;
    }
  }
  return false;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

LanguageSelection LanguageForCountry(int country_code) {
  LanguageSelection selection;
  for (const CountryLanguage& entry : kLocaleCountries) {
    if (entry.country_code == country_code) {
      selection.country_code = entry.country_code;
      selection.language_code = std::string(entry.language_code);
    }
  }
  if (country_code == kCountryUs) selection.dealer_code = std::string(kDealerOrvelt);
  return selection;
}

void ApplyLanguageArguments(const std::vector<std::string>& arguments, LanguageSelection& selection) {
  for (const ArgumentGroup& group : kArgumentGroups) {
    if (!GroupMatches(group, arguments)) continue;
    selection.country_code = group.country_code;
    selection.language_code = std::string(group.language_code);
  }
}

LanguageSelection SelectLanguage(int locale_country_code, const std::vector<std::string>& arguments) {
  LanguageSelection selection = LanguageForCountry(locale_country_code);
  ApplyLanguageArguments(arguments, selection);
  return selection;
}

}  // namespace varnholt
