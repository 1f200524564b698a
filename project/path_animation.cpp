#include "project/path_animation.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "geometry/units.h"
#include "planner/cut_walk.h"
#include "project/project_document.h"
#include "project/project_view.h"

namespace varnholt {
namespace {

// Collects every move of the walk and counts the pauses made at each stop.
class StopRecorder final : public CutPathSink {
 public:
  explicit StopRecorder(std::vector<PathStop>& stops) : stops_(stops) {}
  void MoveTo(const TPlotPoint& point) override { stops_.push_back({point, 0}); }
  void CornerPause() override {
    if (!stops_.empty()) ++stops_.back().pauses;
  }

 private:
  std::vector<PathStop>& stops_;
};

int64_t PixelSpan(const TPlotPoint& a, const TPlotPoint& b) {
  return std::max(std::llabs(int64_t{b.x} - a.x), std::llabs(int64_t{b.y} - a.y));
}

}  // namespace

std::vector<PathStop> PlannedStops(const ProjectDocument& project) {
  std::vector<PathStop> stops;
  const auto start = static_cast<size_t>(project.start_figure);
  if (project.start_figure < 0 || start >= project.figures.size() || project.figures[start]->points.empty()) {
    return stops;
  }
  // The walk reverses open figures in place; the simulation walks a copy, so the plan stays as it is.
  FigureList figures = CopyFigures(project.figures);
  tfigura& first = *figures[start];
  if (project.single_open_figure && first.points.size() >= 2) {
    const bool rising = first.points.front().x < first.points.back().x;
    first.link_aux = (project.feed_sign >= 0) == rising ? 0 : static_cast<int32_t>(first.points.size()) - 1;
  }
  const auto last_vertex = static_cast<int32_t>(first.points.size()) - 1;
  stops.push_back(
      {first.points[static_cast<size_t>(std::clamp<int32_t>(first.link_aux, 0, last_vertex))], 0});
  StopRecorder recorder(stops);
  WalkCutTree(figures, {project.start_figure, project.single_open_figure, true}, recorder);
  return stops;
}

PathAnimation::PathAnimation(const std::vector<PathStop>& stops, const ProjectView& view, int64_t pause_ms) {
  pixels_.reserve(stops.size());
  arrive_ms_.reserve(stops.size());
  leave_ms_.reserve(stops.size());
  int64_t now = 0;
  for (const PathStop& stop : stops) {
    const TPlotPoint pixel = view.Pixel(stop.point);
    if (!pixels_.empty()) now += PixelSpan(pixels_.back(), pixel);
    pixels_.push_back(pixel);
    arrive_ms_.push_back(now);
    now += int64_t{stop.pauses} * std::max<int64_t>(pause_ms, 0);
    leave_ms_.push_back(now);
  }
}

size_t PathAnimation::ReachedAt(int64_t elapsed_ms) const {
  if (arrive_ms_.empty()) return 0;
  const auto after = std::upper_bound(arrive_ms_.begin(), arrive_ms_.end(), elapsed_ms);
  return std::max<size_t>(1, static_cast<size_t>(after - arrive_ms_.begin()));
}

int64_t PathAnimation::NextStopMs(int64_t elapsed_ms) const {
  const auto after = std::upper_bound(arrive_ms_.begin(), arrive_ms_.end(), elapsed_ms);
  return after == arrive_ms_.end() ? total_ms() : *after;
}

TPlotPoint PathAnimation::PenAt(int64_t elapsed_ms) const {
  if (pixels_.empty()) return {};
  const size_t reached = ReachedAt(elapsed_ms);
  const size_t last = reached - 1;
  if (reached >= pixels_.size() || elapsed_ms <= leave_ms_[last]) return pixels_[last];
  const TPlotPoint& from = pixels_[last];
  const TPlotPoint& to = pixels_[reached];
  const double part = static_cast<double>(elapsed_ms - leave_ms_[last]) /
                      static_cast<double>(arrive_ms_[reached] - leave_ms_[last]);
  return {NearestInt32Saturated(from.x + part * (double{1} * to.x - from.x)),
          NearestInt32Saturated(from.y + part * (double{1} * to.y - from.y))};
}

int64_t SimulationPauseMs(double corner_pause_ms) {
  return static_cast<int64_t>(nearest(corner_pause_ms / 4.0));
}

}  // namespace varnholt
