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

// Sets what the project's next load compensates for; false (nothing set) on a project that holds figures already.
bool SetKerfSettings(ProjectDocument& project, const KerfSettings& settings);

// True when a project's figures are compensated otherwise than settings ask: for another kerf, or for another scale
// while a kerf is asked for. A duplication counts too: its figures carry the kerf its pattern was compensated for.
bool KerfSettingsChanged(const ProjectDocument& project, const KerfSettings& settings);

// True when the project can be compensated anew (ChangeKerf): it was loaded from a drawing and keeps the drawn
// figures. A duplication cannot; it is duplicated again from its drawing instead.
bool CanCompensateAgain(const ProjectDocument& project);

}  // namespace varnholt
