#pragma once
// Rounding and the conversions between plotter units (1/40 mm) and millimetres.

#include <cstdint>
#include <optional>

namespace varnholt {

inline constexpr int kUnitsPerMm = 40;

// Rounds to the nearest integer, halves to the even neighbour. The only rounding the program uses unless a rule
// names another.
double nearest(double value);

// Rounds like nearest() and returns the value when it fits an int32, nothing otherwise (also for NaN).
std::optional<int32_t> NearestInt32(double value);

// Rounds like nearest() and clamps into the int32 range; NaN gives 0. For geometry whose inputs are already bounded.
int32_t NearestInt32Saturated(double value);

// Plotter units to millimetres: value * 1000 / 40000.
double UnitsToMm(int32_t units);

// Millimetres to plotter units: value * 40000 / 1000, rounded by nearest(); saturates outside the int32 range.
int32_t MmToUnits(double mm);

// Millimetres to plotter units like MmToUnits, but nothing when the result leaves the int32 range (or is NaN).
std::optional<int32_t> MmToUnitsChecked(double mm);

}  // namespace varnholt
