// The values a duplication starts from and the checks it passes, in their order, with the messages the operator sees.

#include "layout/grid_check.h"

#include <gtest/gtest.h>

#include "config/display_unit.h"
#include "layout/length_text.h"
#include "services/scripted_operator.h"

namespace varnholt {
namespace {

TEST(DuplicationValues, DefaultsAndDerivedUnits) {
  // A pattern of 130.025 x 60 mm.
  const DuplicationParameters values = DefaultParameters(5201, 2400);
  EXPECT_EQ(values.columns, 2);
  EXPECT_EQ(values.rows, 1);
  EXPECT_DOUBLE_EQ(values.column_pitch, 140.025);
  EXPECT_DOUBLE_EQ(values.row_pitch, 70.0);
  EXPECT_DOUBLE_EQ(values.vertical_distance, 5.0);
  EXPECT_DOUBLE_EQ(values.horizontal_distance, 5.0);

  const GridLayout grid = DeriveGrid(values);
  EXPECT_EQ(grid.column_pitch, 5601);
  EXPECT_EQ(grid.row_pitch, 2800);
  EXPECT_EQ(grid.vertical_distance, 200);
  EXPECT_EQ(grid.slant, 560);  // a tenth of the column pitch: 14.0025 mm

  // A connector distance of 0 becomes one unit; anything else is rounded as every length is.
  EXPECT_EQ(ConnectorDistanceUnits(0.0), 1);
  EXPECT_EQ(ConnectorDistanceUnits(0.01), 1);  // 0.4 units round to 0
  EXPECT_EQ(ConnectorDistanceUnits(0.0125), 1);  // half a unit rounds to 0, halves to even
  EXPECT_EQ(ConnectorDistanceUnits(0.0375), 2);  // 1.5 units, halves to even
}

TEST(DuplicationValues, NumbersAsTheDialogShowsAndTakesThem) {
  EXPECT_EQ(LengthText(130.025, kUnitMm, SizeDecimals(kUnitMm), ','), "130,0");
  EXPECT_EQ(LengthText(130.0, kUnitInch, SizeDecimals(kUnitInch), '.'), "5.12");
  EXPECT_EQ(LengthText(130.0, kUnitFoot, SizeDecimals(kUnitFoot), '.'), "0.427");
  EXPECT_EQ(LengthText(-0.001, kUnitMm, 1, '.'), "0.0");
  EXPECT_EQ(FieldText(140.0, kUnitMm, '.'), "140");
  EXPECT_EQ(FieldText(5.025, kUnitMm, ','), "5,025");
  EXPECT_EQ(FieldText(25.4, kUnitInch, '.'), "1");
  EXPECT_EQ(FieldText(10.0, kUnitInch, '.'), "0.3937");

  EXPECT_EQ(ParseFieldNumber(" 12,5 "), 12.5);
  EXPECT_EQ(ParseFieldNumber("12.5"), 12.5);
  EXPECT_EQ(ParseFieldNumber("-3"), -3.0);
  EXPECT_EQ(ParseFieldNumber("+.5"), 0.5);
  for (const char* bad : {"", "-", ".", "1e5", "1.2.3", "1,2.3", "12a", "1 2", "--1"}) {
    EXPECT_FALSE(ParseFieldNumber(bad)) << bad;
  }
  EXPECT_FALSE(ParseFieldNumber(std::string(400, '9')));  // beyond the double range

  EXPECT_EQ(CountFromNumber(2.9), 2);
  EXPECT_EQ(CountFromNumber(-0.5), 0);
  EXPECT_EQ(CountFromNumber(1e12), INT32_MAX);
  EXPECT_EQ(CountFromNumber(-1e12), INT32_MIN);
}

class DuplicationChecks : public ::testing::Test {
 protected:
  DuplicationChecks() {
    pattern_.box = {0, 0, 4000, 2000};  // 100 x 50 mm
    pattern_.figures = 3;
    pattern_.points = 120;
    values_ = DefaultParameters(4000, 2000);
  }

  std::optional<DuplicationField> Check(int unit = kUnitMm) {
    return CheckDuplication(values_, pattern_, {texts_, unit, '.'});
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const auto& m : op_.messages()) shown.push_back(m.text);
    for (const auto& q : op_.questions()) shown.push_back("? " + q.text);
    return shown;
  }

  TextLookup texts_ = [](std::string_view, std::string_view key) { return std::string(key); };
  PatternFacts pattern_;
  DuplicationParameters values_;
  ScriptedOperator op_;
  ScopedOperator installed_{op_};
};

TEST_F(DuplicationChecks, DefaultsPass) {
  EXPECT_EQ(Check(), std::nullopt);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(DuplicationChecks, TheFirstFailureInOrderIsShownAndItsFieldReturned) {
  values_.columns = 0;
  values_.rows = -1;
  values_.row_pitch = 1;
  EXPECT_EQ(Check(), DuplicationField::kColumns);
  values_.columns = 1;
  EXPECT_EQ(Check(), DuplicationField::kRows);
  values_.rows = 1;
  EXPECT_EQ(Check(), DuplicationField::kRowPitch);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"BlednaIloscElem", "BlednaIloscWierszy",
                                               "BlednePrzesMdzyWier\r\nmin: 50.00 mm"}));
  for (const auto& m : op_.messages()) EXPECT_TRUE(m.is_error);
}

// A pitch equal to the pattern's size leaves no gap and passes; a smaller column pitch asks, and Yes builds the
// overlapping grid: the connecting lines then only keep their distances from being negative.
TEST_F(DuplicationChecks, OverlapAsksOnlyBelowTheWidthAndYesBuildsTheGrid) {
  values_.column_pitch = 100.0;
  values_.vertical_distance = 0.0;
  EXPECT_EQ(Check(), std::nullopt);
  values_.row_pitch = 50.0;
  values_.horizontal_distance = 0.0;
  EXPECT_EQ(Check(), std::nullopt);
  EXPECT_TRUE(Shown().empty());

  values_.column_pitch = 99.99;
  values_.vertical_distance = (values_.column_pitch - 100.0) / 2;  // the default: half the (negative) gap
  EXPECT_EQ(Check(kUnitInch), DuplicationField::kColumnPitch);  // the unscripted answer is Cancel
  ASSERT_EQ(op_.questions().size(), 1u);
  EXPECT_EQ(op_.questions()[0].text,
            "ElNachodzaNaSiebie\r\nSzerokoscPojedynElem: 3.94 in\r\n\r\nCzyAkceptujesz");
  EXPECT_EQ(op_.questions()[0].buttons, Buttons({kButtonYes, kButtonCancel}));

  op_.AnswerNext(kButtonYes);
  values_.vertical_distance = 0.0;
  EXPECT_EQ(Check(), std::nullopt);
  op_.AnswerNext(kButtonYes);
  values_.vertical_distance = 3.0;
  EXPECT_EQ(Check(), std::nullopt);
  op_.AnswerNext(kButtonYes);
  values_.vertical_distance = -1.0;
  EXPECT_EQ(Check(), DuplicationField::kVerticalDistance);
  EXPECT_EQ(op_.messages().back().text, "OdlLacznikaUjemna");
}

TEST_F(DuplicationChecks, ConnectorDistancesMustLeaveTheGapFree) {
  values_.vertical_distance = 10.0;  // the whole gap
  EXPECT_EQ(Check(), DuplicationField::kVerticalDistance);
  values_.vertical_distance = 9.975;  // one unit less
  EXPECT_EQ(Check(), std::nullopt);
  values_.vertical_distance = 9.99;  // rounds to the whole gap
  EXPECT_EQ(Check(), DuplicationField::kVerticalDistance);
  values_.vertical_distance = 0.0;  // becomes one unit
  EXPECT_EQ(Check(), std::nullopt);
  values_.vertical_distance = -1.0;
  EXPECT_EQ(Check(), DuplicationField::kVerticalDistance);
  values_.vertical_distance = 5.0;
  values_.horizontal_distance = 10.0;
  EXPECT_EQ(Check(), DuplicationField::kHorizontalDistance);
  values_.horizontal_distance = -0.5;
  EXPECT_EQ(Check(), DuplicationField::kHorizontalDistance);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"OdlLacznikaPionZaDuza", "OdlLacznikaPionZaDuza",
                                               "OdlLacznikaUjemna", "OdlLacznikaPoziomZaDuza",
                                               "OdlLacznikaUjemna"}));
}

TEST_F(DuplicationChecks, ResultsTooLargeAreRefused) {
  values_.columns = 200;
  values_.rows = 200;  // 40,000 copies of 3 figures
  EXPECT_EQ(Check(), DuplicationField::kColumns);
  values_.columns = INT32_MAX;
  values_.rows = INT32_MAX;
  EXPECT_EQ(Check(), DuplicationField::kColumns);
  values_.columns = 100;
  values_.rows = 300;
  pattern_.figures = 1;  // 30,000 figures, but 120 points each
  pattern_.points = 1000;
  EXPECT_EQ(Check(), DuplicationField::kColumns);
  pattern_.points = 10;
  EXPECT_EQ(Check(), std::nullopt);

  values_.columns = 3;
  values_.rows = 3;
  values_.column_pitch = 1e7;  // 10 km: the copies would leave the coordinate range
  values_.vertical_distance = 5;
  EXPECT_EQ(Check(), DuplicationField::kColumnPitch);
  values_.column_pitch = 110;
  values_.row_pitch = 1e300;
  values_.horizontal_distance = 5;
  EXPECT_EQ(Check(), DuplicationField::kRowPitch);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"ZaDuzoElementow", "ZaDuzoElementow", "ZaDuzoElementow",
                                               "WymiaryZaDuze", "WymiaryZaDuze"}));
}

}  // namespace
}  // namespace varnholt
