#include "services/language_selection.h"

#include <gtest/gtest.h>

#include "services/locale_country.h"

namespace varnholt {
namespace {

TEST(LanguageSelection, CountryTableGivesLanguageAndDealer) {
  EXPECT_EQ(LanguageForCountry(48).language_code, "PL");
  EXPECT_EQ(LanguageForCountry(421).language_code, "SK");
  const LanguageSelection us = LanguageForCountry(1);
  EXPECT_EQ(us.language_code, "US");
  EXPECT_EQ(us.dealer_code, "ORVELT");
  EXPECT_EQ(LanguageForCountry(48).dealer_code, "");

  // A country without a language of its own falls back to US and country 1, without the US dealer.
  const LanguageSelection gb = LanguageForCountry(44);
  EXPECT_EQ(gb.language_code, "US");
  EXPECT_EQ(gb.country_code, 1);
  EXPECT_EQ(gb.dealer_code, "");
  // Swedish is reachable only from the command line.
  EXPECT_EQ(LanguageForCountry(46).language_code, "US");
  EXPECT_TRUE(WritesRightToLeft(LanguageForCountry(966).country_code));
  EXPECT_FALSE(WritesRightToLeft(LanguageForCountry(49).country_code));
}

TEST(LanguageSelection, LaterGroupWinsWhateverTheArgumentOrder) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"pl", "de"}, {"de", "pl"}}) {
    const LanguageSelection selection = SelectLanguage(1, arguments);
    EXPECT_EQ(selection.language_code, "DE");
    EXPECT_EQ(selection.country_code, 49);
  }
  EXPECT_EQ(SelectLanguage(1, {"Polska"}).language_code, "PL");
  EXPECT_EQ(SelectLanguage(48, {"espanol"}).country_code, 34);
  EXPECT_EQ(SelectLanguage(48, {"se"}).language_code, "SE");
  EXPECT_EQ(SelectLanguage(1, {"fr", "se"}).language_code, "SE");
  // Words must match whole; other arguments change nothing.
  EXPECT_EQ(SelectLanguage(48, {"test", "plx", "D:XY", ""}).language_code, "PL");
}

TEST(LanguageSelection, OverrideKeepsTheDealerCodeOfTheLocale) {
  EXPECT_EQ(SelectLanguage(1, {"pl"}).dealer_code, "ORVELT");
  EXPECT_EQ(SelectLanguage(48, {"usa"}).dealer_code, "");
  EXPECT_EQ(SelectLanguage(48, {"usa"}).country_code, 1);
}

TEST(LocaleCountry, FirstNonEmptyVariableNamesTheTerritory) {
  EXPECT_EQ(CountryCodeFromLocale("", "", "pl_PL.UTF-8"), 48);
  EXPECT_EQ(CountryCodeFromLocale("de_DE@euro", "pl_PL.UTF-8", "en_US.UTF-8"), 49);
  EXPECT_EQ(CountryCodeFromLocale("", "sk_SK.UTF-8", "pl_PL.UTF-8"), 421);
  EXPECT_EQ(CountryCodeFromLocale("", "", "en_GB.UTF-8"), 44);
  EXPECT_EQ(CountryCodeFromLocale("", "", "ar_sa"), 966);
}

TEST(LocaleCountry, NoOrUnknownTerritoryGivesOne) {
  EXPECT_EQ(CountryCodeFromLocale("", "", ""), 1);
  EXPECT_EQ(CountryCodeFromLocale("C", "", "pl_PL.UTF-8"), 1);  // LC_ALL rules even without a territory
  EXPECT_EQ(CountryCodeFromLocale("", "", "POSIX"), 1);
  EXPECT_EQ(CountryCodeFromLocale("", "", "xx_QQ.UTF-8"), 1);
  EXPECT_EQ(CountryCodeFromLocale("", "", "pl_"), 1);
  EXPECT_EQ(CountryCodeFromLocale("", "", "pl_POL"), 1);
  EXPECT_EQ(LocaleTerritory("sr_RS.UTF-8@latin"), "RS");
}

}  // namespace
}  // namespace varnholt
