#include "geometry/scalar.h"

namespace varnholt {

double Min(double a, double b) { return b >= a ? a : b; }
double Max(double a, double b) { return b > a ? b : a; }
int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t Max(int32_t a, int32_t b) { return b < a ? a : b; }

int32_t Factorial(int32_t n) {
  // Unsigned products wrap instead of overflowing, which keeps degrees above 12 defined (if meaningless).
  uint32_t product = 1;
  for (int32_t i = 2; i <= n; ++i) product *= static_cast<uint32_t>(i);
  return static_cast<int32_t>(product);
}

double Power(int32_t n, double x) {
  double result = 1.0;
  for (int32_t i = 0; i < n; ++i) result *= x;
  return result;
}

double Binomial(int32_t n, int32_t k) {
  return static_cast<double>(Factorial(n)) /
         (static_cast<double>(Factorial(k)) * static_cast<double>(Factorial(n - k)));
}

bool Divisible(int32_t a, int32_t b) {
  if (b == 0) return false;
  if (b == -1) return true;  // INT32_MIN % -1 overflows
  return a % b == 0;
}

}  // namespace varnholt
