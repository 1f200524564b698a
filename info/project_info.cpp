#include "info/project_info.h"

#include "config/display_unit.h"
#include "geometry/decimal_text.h"
#include "geometry/units.h"
#include "project/project_document.h"

namespace varnholt {

ProjectMeasures MeasuresOf(const ProjectDocument& project) {
  return {project.project_width, project.project_height, project.total_length, project.figures.size()};
}

double ScaledMm(double units, double skala) {
  return nearest(skala * units / 100.0) / kUnitsPerMm;
}

std::string LengthText(double mm, int unit) {
  return DecimalText(FromMillimetres(mm, unit), 2) + " " + std::string(UnitName(unit));
}

ProjectInfo ComputeProjectInfo(const ProjectMeasures& project, const Configuration& config) {
  const double skala = config.Number(Param::skala);
  const int unit = config.CurrentUnit();
  ProjectInfo info;
  info.width_mm = ScaledMm(project.width, skala);
  info.height_mm = ScaledMm(project.height, skala);
  info.length_mm = ScaledMm(project.total_length, skala);
  // The speed field's minimum keeps the divisor positive; a value below it cannot be set.
  info.time_min = info.length_mm / config.Number(Param::szybkoscObrobki) +
                  kMinutesPerEntry * static_cast<double>(project.entries);
  info.szerokosc = LengthText(info.width_mm, unit);
  info.wysokosc = LengthText(info.height_mm, unit);
  // In millimetres the length is shown in metres.
  const bool metric = UnitName(unit) == UnitName(kUnitMm);
  info.totlen = metric ? DecimalText(info.length_mm / 1000.0, 2) + " m" : LengthText(info.length_mm, unit);
  info.total_time = DecimalText(info.time_min, 0) + " min";
  info.skala = DecimalText(skala, 2) + "%";
  return info;
}

}  // namespace varnholt
