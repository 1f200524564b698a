#pragma once
// The values of the project information window: the project's size, cutting length and time as it will be
// cut.

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/parameters.h"

namespace varnholt {

class ProjectDocument;

// What the window takes from a project: its box and total length in plotter units, and its list entries
// (figures, connectors, frame or start marker together).
struct ProjectMeasures {
  int32_t width = 0;
  int32_t height = 0;
  double total_length = 0.0;
  size_t entries = 0;
};

ProjectMeasures MeasuresOf(const ProjectDocument& project);

// Minutes the estimate adds for every list entry: the time spent at each figure, connector, frame or marker.
inline constexpr double kMinutesPerEntry = 0.03;

struct ProjectInfo {
  // Scaled by skala, in millimetres (rounded to whole plotter units first).
  double width_mm = 0.0;
  double height_mm = 0.0;
  double length_mm = 0.0;
  // length / cutting speed + kMinutesPerEntry per list entry.
  double time_min = 0.0;
  // The texts of the window, in the configuration's display unit.
  std::string szerokosc;  // "125.00 mm"
  std::string wysokosc;
  std::string totlen;      // "10.00 m" in mm; "393.70 in" or "32.81 ft" otherwise
  std::string total_time;  // "10 min"
  std::string skala;       // "100.00%"
};

// The values for a project under the configuration's skala, szybkoscObrobki and CurrentUnit.
ProjectInfo ComputeProjectInfo(const ProjectMeasures& project, const Configuration& config);

// A scaled size in millimetres: round(skala x units / 100) / 40.
double ScaledMm(double units, double skala);

// A length in the display unit with two decimals, a blank and the unit name ("125.00 mm").
std::string LengthText(double mm, int unit);

}  // namespace varnholt
