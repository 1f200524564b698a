#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
}  // namespace varnholt
