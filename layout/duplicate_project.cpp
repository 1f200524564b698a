#include "layout/duplicate_project.h"

#include <algorithm>
#include <utility>

#include "layout/connecting_path.h"

namespace varnholt {
namespace {

PatternBox BoxOf(const ProjectDocument& pattern) {
  return {pattern.project_min_x, pattern.project_min_y, pattern.project_width, pattern.project_height};
}

// The pattern's settings from the program: how it was read and how it is planned.
void TakeSettings(const ProjectDocument& pattern, ProjectDocument& project) {
  project.reader_kind = pattern.reader_kind;
  project.feed_direction = pattern.feed_direction;
  project.feed_sign = pattern.feed_sign;
  project.feed_sign_start = pattern.feed_sign_start;
  project.drawing_unit = pattern.drawing_unit;
  project.working_range = pattern.working_range;
  project.ltscale = pattern.ltscale;
  project.add_frame = pattern.add_frame;
  // The copies are compensated as the pattern is: the grid carries its kerf, so a later change of the kerf is seen.
  project.SetKerf(pattern.kerf_width_mm(), pattern.kerf_scale_percent());
}

TPlotPoint Shifted(const TPlotPoint& p, int64_t dx, int64_t dy) {
  return {LayoutCoordinate(p.x + dx), LayoutCoordinate(p.y + dy)};
}

}  // namespace

TPlotPoint PatternStartPoint(const ProjectDocument& pattern) {
  const auto start = static_cast<size_t>(pattern.start_figure);
  if (pattern.start_figure < 0 || start >= pattern.figures.size() || pattern.figures[start]->points.empty()) {
    return {pattern.project_min_x, pattern.project_min_y};
  }
  const auto& points = pattern.figures[start]->points;
  const auto entry = static_cast<size_t>(std::clamp<int32_t>(pattern.figures[start]->link_aux, 0,
                                                             static_cast<int32_t>(points.size()) - 1));
  return points[entry];
}

std::vector<TPlotPoint> ConnectingPathFor(const ProjectDocument& pattern, const GridLayout& grid) {
  PathInputs inputs;
  inputs.pattern = BoxOf(pattern);
  inputs.start = PatternStartPoint(pattern);
  inputs.side = EntrySide(pattern.figures, inputs.pattern, inputs.start);
  inputs.grid = grid;
  return ConnectingPath(inputs);
}

std::unique_ptr<ProjectDocument> BuildDuplicate(const ProjectDocument& pattern, const DuplicationParameters& values,
                                                TextLookup texts) {
  const GridLayout grid = DeriveGrid(values);
  auto project = std::make_unique<ProjectDocument>(std::move(texts));
  TakeSettings(pattern, *project);

  if (grid.columns > 0 && grid.rows > 0) {
    const size_t copies = static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows);
    project->figures.reserve(copies * pattern.figures.size() + 1);
  }
  for (int32_t r = 0; r < grid.rows; ++r) {
    for (int32_t j = 0; j < grid.columns; ++j) {
      const int64_t dx = int64_t{j} * grid.column_pitch, dy = int64_t{r} * grid.row_pitch;
      for (const auto& figure : pattern.figures) {
        auto copy = std::make_unique<tfigura>(*figure);
        for (TPlotPoint& p : copy->points) p = Shifted(p, dx, dy);
        project->AddFigure(std::move(copy));
      }
    }
  }
  auto path = std::make_unique<tfigura>();
  path->points = ConnectingPathFor(pattern, grid);
  project->AddLacznik(std::move(path), true);

  project->Ustaw_PPiPK();
  for (auto& figure : project->figures) {
    figure->origin_x = project->project_min_x;
    figure->origin_y = project->project_min_y;
  }
  project->drawing_figure_count = project->figures.size();
  project->max_depth = 0;
  project->selected_figure = -1;
  project->ciecie();
  return project;
}

const tfigura& ConnectingPathOf(const ProjectDocument& duplicated) {
  return *duplicated.figures.at(duplicated.drawing_figure_count - 1);
}

}  // namespace varnholt
