#include "project/project_view.h"

#include <algorithm>
#include <cmath>

#include "geometry/decimal_text.h"
#include "geometry/units.h"
#include "project/project_document.h"

namespace varnholt {
namespace {

constexpr int32_t kBaselineMargin = 7;
constexpr int32_t kWidthMargin = 20;
constexpr int32_t kHeightMargin = 10;

std::string Millimetres(int32_t units, char decimal_separator) {
  return DecimalText(UnitsToMm(units), 2, decimal_separator);
}

}  // namespace

TPlotPoint ProjectView::Pixel(const TPlotPoint& point) const {
  return {NearestInt32Saturated((double{1} * point.x - min_x) * scale) + kViewLeft,
          baseline - NearestInt32Saturated((double{1} * point.y - min_y) * scale)};
}

ProjectView ViewOf(const ProjectDocument& project, int32_t client_width, int32_t client_height,
                   int32_t status_height) {
  ProjectView view;
  view.min_x = project.project_min_x;
  view.min_y = project.project_min_y;
  view.baseline = client_height - status_height - kBaselineMargin;
  if (project.project_width < 1 || project.project_height < 1) return view;
  const double usable_width = client_width - kWidthMargin;
  const double usable_height = client_height - 2.0 * status_height - kHeightMargin;
  const double by_height = usable_height / (double{1} * project.project_height + 1);
  const double by_width = usable_width / (double{1} * project.project_width + 1);
  view.scale = by_height < by_width ? by_height : by_width;
  view.drawable = view.scale > 0.0;
  return view;
}

uint32_t FigureColour(const ProjectDocument& project, size_t index) {
  if (project.selected_figure >= 0 && static_cast<size_t>(project.selected_figure) == index) return kWhite;
  const tfigura& figure = *project.figures[index];
  if (figure.plan_flag_2 != 0) return kRed;
  return figure.closed != 0 ? kBlack : kBlue;
}

std::vector<TPlotPoint> PixelPolyline(const tfigura& figure, const ProjectView& view) {
  std::vector<TPlotPoint> pixels;
  pixels.reserve(figure.points.size());
  for (const TPlotPoint& point : figure.points) {
    const TPlotPoint pixel = view.Pixel(point);
    if (pixels.empty() || pixels.back() != pixel) pixels.push_back(pixel);
  }
  return pixels;
}

double PixelDistanceToSegment(const TPlotPoint& p, const TPlotPoint& a, const TPlotPoint& b) {
  const double dx = double{1} * b.x - a.x, dy = double{1} * b.y - a.y;
  const double px = double{1} * p.x - a.x, py = double{1} * p.y - a.y;
  const double length2 = dx * dx + dy * dy;
  const double t = length2 > 0.0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0.0;
  return std::hypot(px - t * dx, py - t * dy);
}

int32_t FigureAt(const ProjectDocument& project, const ProjectView& view, const TPlotPoint& click) {
  int32_t picked = -1;
  if (!view.drawable) return picked;
  for (size_t i = 0; i < project.figures.size(); ++i) {
    const std::vector<TPlotPoint>& points = project.figures[i]->points;
    for (size_t k = 1; k < points.size(); ++k) {
      if (PixelDistanceToSegment(click, view.Pixel(points[k - 1]), view.Pixel(points[k])) <= kPickDistance) {
        picked = static_cast<int32_t>(i);
        break;
      }
    }
  }
  return picked;
}

std::string PointListText(const tfigura& figure, char decimal_separator, const std::string& more_text) {
  std::string text = "[mm]\r\n";
  const size_t shown = std::min(figure.points.size(), kPointListLimit);
  for (size_t i = 0; i < shown; ++i) {
    const TPlotPoint& point = figure.points[i];
    text += "\r\np" + std::to_string(i) + ":(" + Millimetres(point.x, decimal_separator) + " ; " +
            Millimetres(point.y, decimal_separator) + ")";
  }
  if (shown < figure.points.size()) text += "\r\n" + more_text + std::to_string(figure.points.size() - shown);
  return text;
}

}  // namespace varnholt
