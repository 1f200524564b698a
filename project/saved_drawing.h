#pragma once
// What a project keeps as a drawing file: its own figures, so that opening the file gives the project again.

#include <optional>
#include <vector>

#include "geometry/figure.h"
#include "project/project_document.h"

namespace varnholt {

// The figures Save drawing as writes: the drawing's figures as drawn, before any kerf; in a project made of
// other figures (a duplicated grid) its drawing figures, without planning's connectors and frame. Nothing
// when those are compensated for a kerf: opened again, they would be compensated a second time.
std::optional<std::vector<const tfigura*>> DrawingFiguresToSave(const ProjectDocument& project);

}  // namespace varnholt
