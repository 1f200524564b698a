#pragma once
// The kerf compensation a project takes from the configuration, and whether an open project must be compensated
// anew after the configuration changed.

#include "config/parameters.h"

namespace varnholt {

class ProjectDocument;

struct KerfSettings {
  double kerf_mm = 0.0;          // the configuration's KerfWidth; 0 for no compensation
  double scale_percent = 100.0;  // its skala, by which the offset in drawing units is divided
};

KerfSettings KerfSettingsOf(const Configuration& config);

// Sets what the project's next load compensates for.
void SetKerfSettings(ProjectDocument& project, const KerfSettings& settings);

// True when a project loaded from a drawing is compensated otherwise than settings ask: for another kerf, or for
// another scale while a kerf is asked for. A project without drawn figures (a duplication) cannot be compensated
// anew and never needs it.
bool KerfSettingsChanged(const ProjectDocument& project, const KerfSettings& settings);

}  // namespace varnholt
