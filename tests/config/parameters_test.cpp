#include "config/parameters.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "config/display_unit.h"

namespace varnholt {
namespace {

TEST(Parameters, TableNamesAreUniqueAndFound) {
  std::set<std::string_view> names;
  for (const ParamSpec& spec : ParamTable()) {
    EXPECT_TRUE(names.insert(spec.name).second) << spec.name;
    EXPECT_EQ(FindParam(spec.name), spec.id) << spec.name;
  }
  EXPECT_EQ(names.size(), 37u);
  EXPECT_EQ(FindParam("skala"), Param::skala);
  EXPECT_FALSE(FindParam("Skala"));  // case-sensitive
  EXPECT_FALSE(FindParam(""));
  EXPECT_FALSE(FindParam("Foo"));
}

TEST(Parameters, DefaultsOfEveryKind) {
  const Configuration config;
  EXPECT_EQ(config.Flag(Param::AutoSave), FlagState::kUnchecked);
  EXPECT_TRUE(config.Checked(Param::dopasujKierunek));
  EXPECT_EQ(config.Number(Param::szybkoscObrobki), 1000);
  EXPECT_EQ(config.Number(Param::work_power), 1);
  EXPECT_EQ(config.Number(Param::Pauza_w_kacie), 200);
  EXPECT_EQ(config.Number(Param::TasmaPrzesuwPocz), 1666);
  EXPECT_EQ(config.Number(Param::fePauzaTechn), 60);
  EXPECT_EQ(config.Number(Param::ilosckrokow), 8);
  EXPECT_EQ(config.Number(Param::Srednicamaterialu), 500);
  EXPECT_EQ(config.Number(Param::Xwrzeciona), 12);
  EXPECT_EQ(config.Number(Param::Ywrzeciona), 730);
  EXPECT_EQ(config.Number(Param::Ystolika), 250);
  EXPECT_EQ(config.Choice(Param::CatDir), 2);
  EXPECT_EQ(config.Choice(Param::StolikSwitch), 0);
  EXPECT_EQ(config.Choice(Param::radiounit), 0);
  EXPECT_EQ(config.CurrentUnit(), kUnitMm);
  EXPECT_EQ(config.Max(Param::szybkoscObrobki), 5000);
  EXPECT_EQ(config.Max(Param::PrzeSpeed), 5000);
  EXPECT_EQ(config.Max(Param::Tasma_SzybkoscPrzes), 3000);
}

TEST(Parameters, NumbersAreClampedIntoTheirRange) {
  Configuration config;
  config.SetNumber(Param::skala, 5000);
  EXPECT_EQ(config.Number(Param::skala), 1000);
  config.SetNumber(Param::skala, 0);
  EXPECT_EQ(config.Number(Param::skala), 1);
  config.SetNumber(Param::work_power, 150);
  EXPECT_EQ(config.Number(Param::work_power), 100);
  config.SetNumber(Param::szybkoscObrobki, 5);
  EXPECT_EQ(config.Number(Param::szybkoscObrobki), 20);
  config.SetNumber(Param::feKalibracjaX, -200);
  EXPECT_EQ(config.Number(Param::feKalibracjaX), -105);
  config.SetNumber(Param::Xnarzedzia, -12.5);
  EXPECT_EQ(config.Number(Param::Xnarzedzia), -12.5);
  config.SetNumber(Param::Xnarzedzia, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(config.Number(Param::Xnarzedzia), -12.5);
  config.SetNumber(Param::ilosckrokow, std::numeric_limits<double>::infinity());
  EXPECT_EQ(config.Number(Param::ilosckrokow), 50000);
}

TEST(Parameters, ChoicesStayWithinTheItemsOffered) {
  Configuration config;
  config.SetChoice(Param::Mode, 3);
  EXPECT_EQ(config.Choice(Param::Mode), 0);
  config.SetChoice(Param::radiounit, 7);
  EXPECT_EQ(config.Choice(Param::radiounit), 2);
  config.SetChoice(Param::radiounit, -1);
  EXPECT_EQ(config.Choice(Param::radiounit), -1);
  config.SetChoice(Param::radiounit, -5);
  EXPECT_EQ(config.Choice(Param::radiounit), -1);
  config.SetChoice(Param::KierunekObrotow, 2);
  EXPECT_EQ(config.Choice(Param::KierunekObrotow), 1);
  config.SetChoice(Param::CatDir, 1);
  EXPECT_EQ(config.Choice(Param::CatDir), 1);
}

TEST(Parameters, ModelMaximaBoundTheSpeedsAndPowerMaximaCutPowers) {
  Configuration config;
  config.SetNumber(Param::szybkoscObrobki, 1800);
  config.SetNumber(Param::PrzeSpeed, 1800);
  config.SetNumber(Param::Tasma_SzybkoscPrzes, 1800);
  config.ApplyModelMaxima({1000, 1300, 2000});  // the Qo model
  EXPECT_EQ(config.Number(Param::szybkoscObrobki), 1000);
  EXPECT_EQ(config.Number(Param::PrzeSpeed), 1300);
  EXPECT_EQ(config.Number(Param::Tasma_SzybkoscPrzes), 1800);
  config.SetNumber(Param::PrzeSpeed, 4000);
  EXPECT_EQ(config.Number(Param::PrzeSpeed), 1300);
  EXPECT_EQ(config.ModelMaxima(), (SpeedMaxima{1000, 1300, 2000}));

  config.SetNumber(Param::work_power, 99.5);
  config.ApplyPowerMaxima();
  EXPECT_EQ(config.Number(Param::work_power), 99.5);
  EXPECT_EQ(config.Max(Param::VerticalWire_power), 100);
}

TEST(Parameters, ObserverSeesOnlyRealChanges) {
  Configuration config;
  std::vector<Param> changed;
  config.SetChangeObserver([&](Param p) { changed.push_back(p); });
  config.SetChoice(Param::StolikSwitch, 0);  // the default: no change
  config.SetNumber(Param::skala, 100);
  config.SetChoice(Param::StolikSwitch, 9);
  config.SetNumber(Param::feKalibracjaY, 3);
  config.SetFlag(Param::Heavy, FlagState::kGrayed);
  EXPECT_EQ(changed, (std::vector<Param>{Param::StolikSwitch, Param::feKalibracjaY, Param::Heavy}));
  // A copy does not call the original's observer.
  Configuration copy = config;
  copy.SetNumber(Param::skala, 5);
  EXPECT_EQ(changed.size(), 3u);
}

TEST(DisplayUnit, ConversionNamesAndLabels) {
  EXPECT_EQ(FromMillimetres(25.4, kUnitInch), 1.0);
  EXPECT_EQ(ToMillimetres(1.0, kUnitInch), 25.4);
  EXPECT_DOUBLE_EQ(ToMillimetres(0.5, kUnitFoot), 152.4);
  EXPECT_EQ(FromMillimetres(304.8, kUnitFoot), 1.0);
  EXPECT_EQ(ToMillimetres(7, kUnitMm), 7);
  EXPECT_EQ(UnitFactor(-1), 1.0);  // radiounit -1 (none) shows millimetres
  EXPECT_EQ(UnitName(kUnitMm), "mm");
  EXPECT_EQ(UnitName(kUnitInch), "in");
  EXPECT_EQ(UnitName(kUnitFoot), "ft");
  EXPECT_EQ(LengthUnitLabel(kUnitFoot), "[ft]");
  EXPECT_EQ(SpeedUnitLabel(kUnitInch, "/min]"), "[in/min]");
}

TEST(DisplayUnit, StepsFollowTheUnitForTheSevenLengthAndSpeedFields) {
  EXPECT_EQ(StepMm(Param::szybkoscObrobki, kUnitMm), 100);
  EXPECT_EQ(StepMm(Param::Srednicamaterialu, kUnitMm), 100);
  EXPECT_EQ(StepMm(Param::TasmaPrzesuwKon, kUnitMm), 1);
  EXPECT_EQ(StepMm(Param::feuWysokoscMat, kUnitInch), 25.4);
  EXPECT_EQ(StepMm(Param::PrzeSpeed, kUnitFoot), 30.48);
  EXPECT_EQ(StepMm(Param::work_power, kUnitInch), 0.1);
  EXPECT_EQ(StepMm(Param::Xwrzeciona, kUnitFoot), 100);
}

}  // namespace
}  // namespace varnholt
