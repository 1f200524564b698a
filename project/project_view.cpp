#include "project/project_view.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "geometry/decimal_text.h"
#include "geometry/units.h"
#include "planner/cut_walk.h"
#include "project/plan_picture.h"
#include "project/project_document.h"

namespace varnholt {
namespace {

constexpr int32_t kBaselineMargin = 7;
constexpr int32_t kWidthMargin = 20;
constexpr int32_t kHeightMargin = 10;

int32_t Int32Saturated(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

std::string Millimetres(int32_t units, char decimal_separator) {
  return DecimalText(UnitsToMm(units), 2, decimal_separator);
}

}  // namespace

TPlotPoint ProjectView::Pixel(const TPlotPoint& point) const {
  // Whole pixels are added after rounding, so a shift moves the picture without changing its shape.
  const int64_t x = int64_t{NearestInt32Saturated((double{1} * point.x - min_x) * scale)} + kViewLeft + shift_x;
  const int64_t y = int64_t{baseline} + shift_y - NearestInt32Saturated((double{1} * point.y - min_y) * scale);
  return {Int32Saturated(x), Int32Saturated(y)};
}

TPlotPoint ProjectView::DrawingPoint(double pixel_x, double pixel_y) const {
  if (!(scale > 0.0)) return {min_x, min_y};
  return {NearestInt32Saturated(min_x + (pixel_x - kViewLeft - shift_x) / scale),
          NearestInt32Saturated(min_y + (double{1} * baseline + shift_y - pixel_y) / scale)};
}

ProjectView Adjusted(ProjectView fit, const ViewAdjust& adjust) {
  fit.scale *= adjust.zoom;
  fit.shift_x = NearestInt32Saturated(adjust.shift_x);
  fit.shift_y = NearestInt32Saturated(adjust.shift_y);
  return fit;
}

void ZoomAbout(ViewAdjust& adjust, const ProjectView& fit, double factor, double x, double y) {
  if (!(factor > 0.0)) return;
  const double zoom = std::clamp(adjust.zoom * factor, kMinZoom, kMaxZoom);
  const double applied = zoom / adjust.zoom;
  // The pixel x is left + shift + u * scale for the point's distance u from the drawing's left in units; the
  // same u must land on x at the new scale (and likewise upwards from the baseline for y).
  const double left = kViewLeft, base = fit.baseline;
  adjust.shift_x = x - left - (x - left - adjust.shift_x) * applied;
  adjust.shift_y = y - base - (y - base - adjust.shift_y) * applied;
  adjust.zoom = zoom;
}

CutOverlay CutOverlayOf(const CutSnapshot& cut, const ProjectView& view) {
  CutOverlay overlay;
  if (!cut.shown() || !view.drawable) return overlay;
  overlay.shown = true;
  const std::vector<CourseStop>& stops = cut.course->stops;
  const size_t reached = std::min(cut.reached, stops.size());
  overlay.cut.reserve(reached + 1);
  const auto add = [&overlay](const TPlotPoint& pixel) {
    if (overlay.cut.empty() || overlay.cut.back() != pixel) overlay.cut.push_back(pixel);
  };
  for (size_t i = 0; i < reached; ++i) add(view.Pixel(cut.placement.DrawingPoint(stops[i].x, stops[i].y)));
  overlay.wire = view.Pixel(cut.placement.DrawingPoint(cut.wire_x, cut.wire_y));
  add(overlay.wire);
  return overlay;
}

SpaceMarks SpaceMarksOf(const ProjectDocument& project, const ProjectView& view, bool walk_plan) {
  SpaceMarks marks;
  const TPlotPoint origin{project.project_min_x, project.project_min_y};
  const double scale = project.kerf_scale_percent() > 0.0 ? project.kerf_scale_percent() : 100.0;
  const auto reach = [scale](int32_t from, double mm) {
    return NearestInt32Saturated(from + mm * kUnitsPerMm * 100.0 / scale);
  };
  marks.origin = view.Pixel(origin);
  marks.area_low = marks.origin;
  marks.area_high = view.Pixel(
      {reach(origin.x, project.working_range.x_mm), reach(origin.y, project.working_range.y_mm)});
  marks.start = marks.entry = marks.origin;
  if (!project.planned || !walk_plan) return marks;
  marks.planned = true;
  marks.start = marks.entry = view.Pixel(CutEntryPoint(project));
  for (const TPlotPoint& point : PlannedPath(project)) {
    const TPlotPoint pixel = view.Pixel(point);
    if (pixel != marks.start) {
      marks.entry = pixel;
      break;
    }
  }
  return marks;
}

std::vector<OrderMark> PlannedOrder(const ProjectDocument& project) {
  if (!project.planned) return {};
  // The entry vertices of the drawing figures; one that several figures share gets one number.
  std::unordered_set<uint64_t> entries;
  const auto key = [](const TPlotPoint& p) {
    return (uint64_t{static_cast<uint32_t>(p.x)} << 32) | static_cast<uint32_t>(p.y);
  };
  for (const auto& figure : project.figures) {
    if (figure->kind != kDrawingFigure || figure->points.empty()) continue;
    const auto entry = std::min<size_t>(static_cast<size_t>(std::max(figure->link_aux, 0)), figure->points.size() - 1);
    entries.insert(key(figure->points[entry]));
  }
  std::vector<OrderMark> order;
  for (const TPlotPoint& point : PlannedPath(project)) {
    if (entries.erase(key(point)) == 0) continue;
    order.push_back({point, static_cast<int32_t>(order.size() + 1)});
  }
  return order;
}

ScaleBar ScaleBarOf(const ProjectView& view, int32_t most_pixels) {
  ScaleBar bar;
  const double pixels_per_mm = view.scale * kUnitsPerMm;
  if (!(pixels_per_mm > 0.0) || most_pixels < 1) return bar;
  const double most_mm = most_pixels / pixels_per_mm;
  if (most_mm < 0.001) return bar;
  const double power = std::pow(10.0, std::floor(std::log10(most_mm)));
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * power <= most_mm) {
      bar.millimetres = step * power;
      break;
    }
  }
  bar.pixels = std::min(most_pixels, NearestInt32Saturated(bar.millimetres * pixels_per_mm));
  return bar;
}

std::string ProjectSizeText(const ProjectDocument& project, char decimal_separator) {
  return Millimetres(project.project_width, decimal_separator) + " \xC3\x97 " +
         Millimetres(project.project_height, decimal_separator) + " mm";
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
  if (project.selected_figure >= 0 && static_cast<size_t>(project.selected_figure) == index) return kSelectedColour;
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
