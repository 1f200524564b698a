#include "layout/grid.h"

#include <algorithm>

#include "geometry/units.h"

namespace varnholt {

DuplicationParameters DefaultParameters(int32_t pattern_width, int32_t pattern_height) {
  DuplicationParameters parameters;
  SetDefaultDistances(parameters, pattern_width, pattern_height);
  return parameters;
}

void SetDefaultDistances(DuplicationParameters& parameters, int32_t pattern_width, int32_t pattern_height) {
  parameters.column_pitch = UnitsToMm(pattern_width) + kDefaultGapMm;
  parameters.row_pitch = UnitsToMm(pattern_height) + kDefaultGapMm;
  parameters.vertical_distance = kDefaultGapMm / 2.0;
  parameters.horizontal_distance = kDefaultGapMm / 2.0;
}

int32_t ConnectorDistanceUnits(double mm) {
  const int32_t units = MmToUnits(mm);
  return units == 0 ? 1 : units;
}

GridLayout DeriveGrid(const DuplicationParameters& parameters) {
  GridLayout grid;
  grid.columns = parameters.columns;
  grid.rows = parameters.rows;
  grid.column_pitch = MmToUnits(parameters.column_pitch);
  grid.row_pitch = MmToUnits(parameters.row_pitch);
  grid.vertical_distance = ConnectorDistanceUnits(parameters.vertical_distance);
  grid.horizontal_distance = ConnectorDistanceUnits(parameters.horizontal_distance);
  grid.slant = MmToUnits(parameters.column_pitch * 0.1);
  return grid;
}

int32_t LayoutCoordinate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace varnholt
