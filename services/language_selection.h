#pragma once
// The choice of the interface language: from the locale's country code, then from the command line.

#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

// Telephone country codes that have a language of their own.
enum CountryCode : int {
  kCountryUs = 1,
  kCountryRu = 7,
  kCountryFr = 33,
  kCountryEs = 34,
  kCountryHu = 36,
  kCountryIt = 39,
  kCountryRo = 40,
  kCountrySe = 46,
  kCountryPl = 48,
  kCountryDe = 49,
  kCountryCn = 86,
  kCountrySk = 421,
  kCountrySa = 966,
};

// The dealer code that the US language brings with it.
inline constexpr std::string_view kDealerOrvelt = "ORVELT";

struct LanguageSelection {
  int country_code = kCountryUs;
  std::string language_code = "US";  // two letters, the suffix of the language file's name
  std::string dealer_code;           // "ORVELT" for country 1, else empty
};

// Maps the locale's country code to its language. Country 1 also sets the dealer code "ORVELT"; a country without a
// language of its own (46 included, which only the command line selects) gives US and becomes country 1.
LanguageSelection LanguageForCountry(int country_code);

// Applies the language words among the arguments (compared without regard to case). The groups are tested in a fixed
// order, so a later group wins over an earlier one whatever the order of the arguments. The dealer code is kept.
void ApplyLanguageArguments(const std::vector<std::string>& arguments, LanguageSelection& selection);

// The whole choice: the locale's country first, then the command line.
LanguageSelection SelectLanguage(int locale_country_code, const std::vector<std::string>& arguments);

// True for the country whose language is written right to left.
constexpr bool WritesRightToLeft(int country_code) { return country_code == kCountrySa; }

// Compares two texts with ASCII letters folded to lower case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace varnholt
