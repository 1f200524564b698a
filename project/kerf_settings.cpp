#include "project/kerf_settings.h"

#include "project/project_document.h"

namespace varnholt {

KerfSettings KerfSettingsOf(const Configuration& config) {
  return {config.Number(Param::KerfWidth), config.Number(Param::skala)};
}

bool SetKerfSettings(ProjectDocument& project, const KerfSettings& settings) {
  return project.SetKerf(settings.kerf_mm, settings.scale_percent);
}

bool KerfSettingsChanged(const ProjectDocument& project, const KerfSettings& settings) {
  if (project.figures.empty()) return false;  // nothing compensated yet
  if (settings.kerf_mm != project.kerf_width_mm()) return true;
  return settings.kerf_mm > 0.0 && settings.scale_percent != project.kerf_scale_percent();
}

bool CanCompensateAgain(const ProjectDocument& project) { return !project.drawn_figures.empty(); }

}  // namespace varnholt
