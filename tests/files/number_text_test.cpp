#include "files/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>

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

// The full conversion the short path stands in for, bit for bit.
double FullConversion(const std::string& text) {
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return value;
}

TEST(NumberText, ShortDecimalsRoundExactlyAsTheFullConversion) {
  std::mt19937_64 random(15);
  for (int i = 0; i < 200000; ++i) {
    // Up to 15 digits with the point anywhere, signs, leading and trailing zeros: every rounding case of a double.
    const int count = 1 + static_cast<int>(random() % 15);
    std::string digits;
    for (int k = 0; k < count; ++k) digits += static_cast<char>('0' + random() % 10);
    const size_t point = 1 + random() % static_cast<uint64_t>(count);
    std::string text = (random() % 2 == 0 ? "-" : "") + digits.substr(0, point);
    if (point < digits.size()) text += "." + digits.substr(point);
    const auto quick = ShortDecimal(text);
    ASSERT_TRUE(quick.has_value()) << text;
    ASSERT_EQ(std::bit_cast<uint64_t>(*quick), std::bit_cast<uint64_t>(FullConversion(text))) << text;
    ASSERT_EQ(std::bit_cast<uint64_t>(StrToFloat(text)), std::bit_cast<uint64_t>(*quick)) << text;
  }
  EXPECT_EQ(std::bit_cast<uint64_t>(*ShortDecimal("-0.000")), std::bit_cast<uint64_t>(-0.0));
  // Everything else is left to the full conversion: too many digits, a lone or trailing point, signs, exponents.
  for (const char* other : {"", "-", ".", ".5", "5.", "+1.5", "--1", "1e5", "1,5", "1.2.3", " 1", "1234567890123456",
                            "0.1234567890123456", "nan"}) {
    EXPECT_FALSE(ShortDecimal(other).has_value()) << other;
  }
  EXPECT_EQ(StrToFloat("1234567890.123456789"), FullConversion("1234567890.123456789"));
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
