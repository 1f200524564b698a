#pragma once
// Scalar helpers shared by the readers, the planner and the curve evaluators.

#include <cstdint>

namespace varnholt {

// a when b >= a, else b.
double Min(double a, double b);
// b when b > a, else a.
double Max(double a, double b);
// a when a < b, else b.
int32_t Min(int32_t a, int32_t b);
// a when b < a, else b.
int32_t Max(int32_t a, int32_t b);

// n! in 32-bit arithmetic, 1 for n < 2. Exact up to 12; larger n wrap as 32-bit products do.
int32_t Factorial(int32_t n);

// x to the power n (n >= 0) by repeated multiplication; 1 for n <= 0.
double Power(int32_t n, double x);

// n! / (k! (n-k)!) as a double from the 32-bit factorials; exact for n up to 12.
double Binomial(int32_t n, int32_t k);

// a mod b = 0; false for b = 0.
bool Divisible(int32_t a, int32_t b);

}  // namespace varnholt
