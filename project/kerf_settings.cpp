#include "project/kerf_settings.h"

#include "project/project_document.h"

namespace varnholt {

KerfSettings KerfSettingsOf(const Configuration& config) {
  return {config.Number(Param::KerfWidth), config.Number(Param::skala)};
}

void SetKerfSettings(ProjectDocument& project, const KerfSettings& settings) {
  project.kerf_width_mm = settings.kerf_mm;
  project.kerf_scale_percent = settings.scale_percent;
}

bool KerfSettingsChanged(const ProjectDocument& project, const KerfSettings& settings) {
  if (project.drawn_figures.empty()) return false;
  if (settings.kerf_mm != project.kerf_width_mm) return true;
  return settings.kerf_mm > 0.0 && settings.scale_percent != project.kerf_scale_percent;
}

}  // namespace varnholt
