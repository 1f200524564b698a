#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "geometry/decimal_text.h"
#include "geometry/scalar.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

TEST(Scalars, MinMaxTieBreaks) {
  EXPECT_EQ(Min(2.0, 3.0), 2.0);
  EXPECT_EQ(Max(2.0, 3.0), 3.0);
  // With equal values the real Min returns a and Max returns a: visible with signed zeros.
  EXPECT_TRUE(std::signbit(Min(-0.0, 0.0)));
  EXPECT_TRUE(std::signbit(Max(-0.0, 0.0)));
  EXPECT_EQ(Min(int32_t{4}, int32_t{-1}), -1);
  EXPECT_EQ(Max(int32_t{4}, int32_t{-1}), 4);
}

TEST(Scalars, FactorialAndBinomialExactToTwelve) {
  EXPECT_EQ(Factorial(-3), 1);
  EXPECT_EQ(Factorial(1), 1);
  EXPECT_EQ(Factorial(12), 479001600);
  int64_t expected = 1;
  for (int32_t n = 2; n <= 12; ++n) {
    expected *= n;
    EXPECT_EQ(Factorial(n), expected);
  }
  // Pascal's rule checks every binomial up to degree 12 exactly.
  for (int32_t n = 1; n <= 12; ++n) {
    EXPECT_EQ(Binomial(n, 0), 1.0);
    EXPECT_EQ(Binomial(n, n), 1.0);
    for (int32_t k = 1; k < n; ++k) EXPECT_EQ(Binomial(n, k), Binomial(n - 1, k - 1) + Binomial(n - 1, k));
  }
  EXPECT_EQ(Binomial(12, 6), 924.0);
  (void)Factorial(40);  // wraps as 32-bit arithmetic does, without undefined behaviour
}

TEST(Scalars, PowerAndDivisible) {
  EXPECT_EQ(Power(0, 7.5), 1.0);
  EXPECT_EQ(Power(3, 2.0), 8.0);
  EXPECT_EQ(Power(2, -1.5), 2.25);
  EXPECT_TRUE(Divisible(12, 4));
  EXPECT_FALSE(Divisible(13, 4));
  EXPECT_TRUE(Divisible(-2147483647 - 1, -1));
  EXPECT_FALSE(Divisible(5, 0));
}

TEST(Units, ConversionsAndRounding) {
  EXPECT_EQ(UnitsToMm(1), 0.025);
  EXPECT_EQ(UnitsToMm(40), 1.0);
  EXPECT_EQ(MmToUnits(0.01), 0);
  EXPECT_EQ(MmToUnits(0.02), 1);
  EXPECT_EQ(MmToUnits(12.3456), 494);
  EXPECT_EQ(MmToUnits(-12.3456), -494);
  EXPECT_EQ(MmToUnits(1e12), INT32_MAX) << "saturates";
  EXPECT_EQ(nearest(2.5), 2.0);
  EXPECT_EQ(nearest(3.5), 4.0);
  EXPECT_EQ(nearest(-2.5), -2.0);
  EXPECT_EQ(nearest(-3.5), -4.0);
  EXPECT_EQ(nearest(-0.4), 0.0);
  EXPECT_EQ(nearest(2.5000000001), 3.0);
  EXPECT_FALSE(NearestInt32(2147483647.5).has_value()) << "rounds up to 2^31 (even)";
  EXPECT_EQ(NearestInt32(2147483646.5).value(), 2147483646);
  EXPECT_EQ(NearestInt32(-2147483648.4).value(), -2147483647 - 1);
  EXPECT_FALSE(NearestInt32(std::nan("")).has_value());
  EXPECT_EQ(NearestInt32Saturated(std::nan("")), 0);
  EXPECT_EQ(NearestInt32Saturated(-1e300), -2147483647 - 1);
}

TEST(Units, NearestAgreesWithTheLibraryRoundingEverywhere) {
  // Halves, neighbours of halves, the edges of the fast range and signed zeros, then pseudo-random magnitudes.
  std::vector<double> values = {0.0, -0.0, 0.5, -0.5, 1.5, -1.5, 0.49999999999999994, -0.49999999999999994,
                                2251799813685247.5, -2251799813685247.5, 2251799813685248.0, 4503599627370495.5,
                                4503599627370497.0, 1e300, -1e300, INFINITY, -INFINITY};
  for (double half = 0.5; half < 1e16; half = half * 3.0 + 1.0) {
    values.insert(values.end(), {half, -half, std::nextafter(half, 0.0), std::nextafter(half, 1e300)});
  }
  uint64_t state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const double scale = std::ldexp(1.0, static_cast<int>(state >> 58) - 8);  // 2^-8 .. 2^55
    values.push_back((static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5) * scale);
  }
  for (const double value : values) {
    const double expected = std::nearbyint(value);
    EXPECT_EQ(nearest(value), expected) << value;
    EXPECT_EQ(std::signbit(nearest(value)), std::signbit(expected)) << value;
  }
  EXPECT_TRUE(std::isnan(nearest(std::nan(""))));
}

TEST(DecimalText, RoundingSignAndSeparator) {
  EXPECT_EQ(DecimalText(2.5, 0), "2");
  EXPECT_EQ(DecimalText(3.5, 0), "4");
  EXPECT_EQ(DecimalText(12.345, 2), "12.35");
  EXPECT_EQ(DecimalText(1234567.891, 1), "1234567.9");
  EXPECT_EQ(DecimalText(-0.001, 2), "0.00") << "no sign on a value that rounds to zero";
  EXPECT_EQ(DecimalText(-0.0, 1), "0.0");
  EXPECT_EQ(DecimalText(-1.25, 1), "-1.2");
  EXPECT_EQ(DecimalText(130.025, 1, ','), "130,0");
  EXPECT_EQ(DecimalText(-0.001, 1, ','), "0,0");
  EXPECT_EQ(DecimalText(std::numeric_limits<double>::quiet_NaN(), 2), "0");
  EXPECT_EQ(DecimalText(-std::numeric_limits<double>::infinity(), 2), "0");
  EXPECT_EQ(DecimalText(-1e308, 0).size(), 310u) << "the largest doubles fit whole";
}

}  // namespace
}  // namespace varnholt
