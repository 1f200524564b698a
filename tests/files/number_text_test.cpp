#include "files/number_text.h"

#include <gtest/gtest.h>

#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

TEST(NumberText, WholeNumbers) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("+42"), 42);
  EXPECT_EQ(StrToInt("-0"), 0);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", "+", "-", "2147483648", "1.0", "5.", "++1", "+-1", "1-", "--1", " 1"}) {
    EXPECT_THROW(StrToInt(bad), RunTimeError) << bad;
  }
}

TEST(NumberText, RealNumbers) {
  EXPECT_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_EQ(StrToFloat("+.5"), 0.5);
  EXPECT_EQ(StrToFloat("-5."), -5.0);
  EXPECT_EQ(StrToFloat("007"), 7.0);
  for (const char* bad : {"", ".", "+", "+-", "1.2.3", "1e5", "inf", "nan", "-", "1-"}) {
    EXPECT_THROW(StrToFloat(bad), RunTimeError) << bad;
  }
}

}  // namespace
}  // namespace varnholt
