#pragma once
// Rounding and the conversions between plotter units (1/40 mm) and millimetres.

#include <cmath>
#include <cstdint>
#include <optional>

namespace varnholt {

inline constexpr int kUnitsPerMm = 40;

// Rounds to the nearest integer, halves to the even neighbour. The only rounding the program uses unless a rule
// names another. Inline, like the conversions below: the readers round every coordinate they read or compute.
inline double nearest(double value) {
  // The program never leaves the default rounding mode (to nearest, halves to even). Below 2^51 adding and taking
  // away 1.5 * 2^52 leaves exactly that rounding of the value, without the library call that saves and restores the
  // floating-point environment. The sign is put back for results of zero.
  constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
  if (std::fabs(value) < 2251799813685248.0) {   // 2^51
    const double shifted = value + kShift;
    return std::copysign(shifted - kShift, value);
  }
  return std::nearbyint(value);  // already whole beyond 2^52; NaN and infinities pass through
}

// Rounds like nearest() and returns the value when it fits an int32, nothing otherwise (also for NaN).
inline std::optional<int32_t> NearestInt32(double value) {
  // Whole numbers, by far the most common input, skip the rounding.
  if (value >= -2147483648.0 && value <= 2147483647.0) {
    const auto truncated = static_cast<int32_t>(value);
    if (static_cast<double>(truncated) == value) return truncated;
  }
  const double rounded = nearest(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
  return static_cast<int32_t>(rounded);
}

// Rounds like nearest() and clamps into the int32 range; NaN gives 0. For geometry whose inputs are already bounded.
int32_t NearestInt32Saturated(double value);

// Plotter units to millimetres: value * 1000 / 40000.
double UnitsToMm(int32_t units);

// Millimetres to plotter units: value * 40000 / 1000, rounded by nearest(); saturates outside the int32 range.
int32_t MmToUnits(double mm);

// Millimetres to plotter units like MmToUnits, but nothing when the result leaves the int32 range (or is NaN).
inline std::optional<int32_t> MmToUnitsChecked(double mm) { return NearestInt32(mm * 40000.0 / 1000.0); }

// Millimetres to plotter units as MmToUnitsChecked works them out (mm * 40000 / 1000, rounded, nothing outside the
// int32 range), without its division where that cannot change the result: the DXF curves convert every point. The
// product with the rounded reciprocal lies within 8e-7 of the quotient while both stay below 2^31 + 1 in size, so
// the two round to the same whole number unless a half lies closer to the product than 1e-6. Beyond that size both
// leave the int32 range; near a half, and for NaN and infinities, the quotient is worked out as written.
inline std::optional<int32_t> MmToUnitsWithoutDivision(double mm) {
  const double units = mm * 40000.0;
  const double estimate = units * 0.001;
  const double rounded = nearest(estimate);
  if (std::fabs(estimate - rounded) < 0.5 - 1e-6) {
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
    return static_cast<int32_t>(rounded);
  }
  return NearestInt32(units / 1000.0);
}

}  // namespace varnholt
