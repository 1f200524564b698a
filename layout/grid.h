#pragma once
// The grid a pattern is duplicated into: the six values the operator gives, their defaults, and the plotter-unit
// values the layout is built from.

#include <cstdint>

namespace varnholt {

// The pattern's bounding box in plotter units (the project's box and size).
struct PatternBox {
  int32_t min_x = 0;
  int32_t min_y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The values of a duplication as the operator gives them; lengths in millimetres.
struct DuplicationParameters {
  int32_t columns = 2;                // elements in a row
  int32_t rows = 1;
  double column_pitch = 0.0;          // element width plus the gap to the next element
  double row_pitch = 0.0;             // element height plus the gap to the next row
  double vertical_distance = 0.0;     // from an element to the vertical connecting lines
  double horizontal_distance = 0.0;   // from an element to the horizontal connecting lines
};

// The gap the defaults leave between neighbouring elements, in millimetres.
inline constexpr double kDefaultGapMm = 10.0;

// Two columns, one row, pitches of the pattern's size plus the default gap, connector distances half the gaps.
DuplicationParameters DefaultParameters(int32_t pattern_width, int32_t pattern_height);

// Sets the two pitches and the two connector distances to their defaults; the counts stay.
void SetDefaultDistances(DuplicationParameters& parameters, int32_t pattern_width, int32_t pattern_height);

// A connector distance in plotter units: millimetres times 40, rounded; a distance that rounds to 0 becomes 1, so
// the connecting lines never lie on an element.
int32_t ConnectorDistanceUnits(double mm);

// The layout's values in plotter units. Built only from checked parameters (CheckDuplication), whose lengths fit.
struct GridLayout {
  int32_t columns = 1;
  int32_t rows = 1;
  int32_t column_pitch = 0;         // Pc
  int32_t row_pitch = 0;            // Pr
  int32_t vertical_distance = 1;    // Dv
  int32_t horizontal_distance = 1;  // Dh
  int32_t slant = 0;                // Ds: how far a bridge's legs slant, a tenth of the column pitch
};

GridLayout DeriveGrid(const DuplicationParameters& parameters);

// A coordinate of the layout, computed in 64 bits, as a plotter unit. Checked grids keep every coordinate within
// +-2^30; the clamp only keeps a misuse from wrapping around.
int32_t LayoutCoordinate(int64_t value);

}  // namespace varnholt
