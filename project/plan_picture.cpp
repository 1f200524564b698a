#include "project/plan_picture.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "geometry/geometry.h"
#include "geometry/units.h"
#include "project/path_animation.h"
#include "project/project_document.h"

namespace varnholt {

bool ShowsDrawnFigures(const ProjectDocument& project) {
  return project.applied_kerf_mm() > 0.0;
}

std::vector<TPlotPoint> PlannedPath(const ProjectDocument& project) {
  std::vector<TPlotPoint> path;
  for (const PathStop& stop : PlannedStops(project)) {
    if (path.empty() || path.back() != stop.point) path.push_back(stop.point);
  }
  return path;
}

PlanPicture DrawPlan(const ProjectDocument& project, int32_t width, int32_t height) {
  PlanPicture picture;
  picture.width = width;
  picture.height = height;
  if (project.project_width < 1 || project.project_height < 1 || width < 16 || height < 16) return picture;
  constexpr int32_t kMargin = 7;
  const double usable_w = width - 2 * kMargin, usable_h = height - 2 * kMargin;
  const double by_h = usable_h / (double{1} * project.project_height + 1);
  const double by_w = usable_w / (double{1} * project.project_width + 1);
  const double scale = by_h < by_w ? by_h : by_w;
  const int32_t baseline = height - kMargin;
  const auto pixel = [&](const TPlotPoint& p) {
    return TPlotPoint{NearestInt32Saturated((double{1} * p.x - project.project_min_x) * scale) + kMargin,
                      baseline - NearestInt32Saturated((double{1} * p.y - project.project_min_y) * scale)};
  };
  if (ShowsDrawnFigures(project)) {
    for (const auto& f : project.drawn_figures) {
      PictureLine line;
      line.rgb = kGrey;
      line.drawing = true;
      for (const TPlotPoint& p : f->points) line.points.push_back(pixel(p));
      picture.lines.push_back(std::move(line));
    }
  }
  for (const auto& f : project.figures) {
    PictureLine line;
    line.rgb = f->plan_flag_2 ? kRed : (f->closed ? kBlack : kBlue);
    for (const TPlotPoint& p : f->points) line.points.push_back(pixel(p));
    picture.lines.push_back(std::move(line));
  }
  PictureLine path;
  path.rgb = kRed;
  path.path = true;
  for (const TPlotPoint& p : PlannedPath(project)) path.points.push_back(pixel(p));
  if (!path.points.empty()) picture.lines.push_back(std::move(path));
  return picture;
}

std::string PlanPictureSvg(const PlanPicture& picture) {
  std::ostringstream svg;
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""
      << picture.width << "\" height=\"" << picture.height << "\" viewBox=\"0 0 " << picture.width << ' '
      << picture.height << "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  for (const PictureLine& line : picture.lines) {
    if (line.points.empty()) continue;
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%06x", static_cast<unsigned>(line.rgb & 0xffffff));
    svg << "<polyline fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"" << StrokeWidth(line) << "\" points=\"";
    for (size_t i = 0; i < line.points.size(); ++i) {
      if (i > 0) svg << ' ';
      svg << line.points[i].x << ',' << line.points[i].y;
    }
    // A single point shows as a dot.
    if (line.points.size() == 1) svg << ' ' << line.points[0].x << ',' << line.points[0].y;
    svg << "\"/>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace varnholt
