#include "project/saved_drawing.h"

#include <algorithm>

namespace varnholt {

std::optional<std::vector<const tfigura*>> DrawingFiguresToSave(const ProjectDocument& project) {
  std::vector<const tfigura*> saved;
  if (!project.drawn_figures.empty()) {
    for (const auto& figure : project.drawn_figures) saved.push_back(figure.get());
    return saved;
  }
  if (project.kerf_width_mm() > 0.0) return std::nullopt;
  const size_t count = std::min(project.drawing_figure_count, project.figures.size());
  for (size_t i = 0; i < count; ++i) {
    const tfigura& figure = *project.figures[i];
    if (figure.kind == kDrawingFigure) saved.push_back(&figure);
  }
  return saved;
}

}  // namespace varnholt
