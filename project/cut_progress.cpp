#include "project/cut_progress.h"

#include <algorithm>
#include <limits>

#include "files/program_decoder.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

int64_t Milliseconds(double seconds) {
  return static_cast<int64_t>(nearest(seconds * 1000.0));
}

int32_t Saturated(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool IsMove(char letter) {
  return letter == 'a' || letter == 'A';
}

// The share t (0 to 1) of the way from a to b nearest to p, and the squared distance of p from that point.
struct Projection {
  double t = 0.0;
  double distance2 = 0.0;
};

Projection Project(double px, double py, const CourseStop& a, const CourseStop& b) {
  const double dx = double{1} * b.x - a.x, dy = double{1} * b.y - a.y;
  const double rx = px - a.x, ry = py - a.y;
  const double length2 = dx * dx + dy * dy;
  Projection projection;
  projection.t = length2 > 0.0 ? std::clamp((rx * dx + ry * dy) / length2, 0.0, 1.0) : 0.0;
  const double ex = rx - projection.t * dx, ey = ry - projection.t * dy;
  projection.distance2 = ex * ex + ey * ey;
  return projection;
}

}  // namespace

ProgramCourse CourseOfProgram(std::string_view program, const ControllerState& machine) {
  ProgramCourse course;
  course.stops.push_back({});
  int64_t x = 0, y = 0;
  double before = 0.0;  // when the command before the present one had run: a move begins then
  ProgramDecoder decoder(
      machine,
      [&](const DecodedCommand& command) {
        if (IsMove(command.letter) && (command.steps[0] != 0 || command.steps[1] != 0)) {
          course.stops.back().leave_ms = Milliseconds(before);
          x += command.steps[0];
          y += command.steps[1];
          const int64_t arrive = Milliseconds(command.seconds);
          course.stops.push_back({Saturated(x), Saturated(y), arrive, arrive});
        }
        before = command.seconds;
      },
      ProgramDecoder::Words::kLeftOut);
  decoder.Feed(program);
  decoder.Finish();
  course.total_ms =
      std::max(Milliseconds(decoder.result().summary.run_seconds), course.stops.back().arrive_ms);
  course.stops.back().leave_ms = course.total_ms;
  return course;
}

TPlotPoint CutPlacement::DrawingPoint(int32_t x_steps, int32_t y_steps) const {
  return {NearestInt32Saturated(start.x + x_steps * units_per_step_x),
          NearestInt32Saturated(start.y + y_steps * units_per_step_y)};
}

CutPlacement PlacementOf(const TPlotPoint& entry, double skala_percent, const ControllerState& machine) {
  CutPlacement placement;
  placement.start = entry;
  if (!(skala_percent > 0.0)) return placement;
  // A step is 1 / StepScale hundredths of a millimetre on the machine, and the drawing is cut at skala per
  // cent.
  const auto units_per_step = [skala_percent](double step_scale) {
    return step_scale > 0.0 ? kUnitsPerMm / 100.0 / step_scale * 100.0 / skala_percent : 0.0;
  };
  placement.units_per_step_x = units_per_step(machine.StepScaleX);
  placement.units_per_step_y = units_per_step(machine.StepScaleY);
  return placement;
}

void CutProgress::Begin(ProgramCourse course, int32_t start_x, int32_t start_y, const CutPlacement& placement,
                        int64_t now_ms) {
  course_ = std::make_shared<const ProgramCourse>(std::move(course));
  ++serial_;
  phase_ = CutPhase::kRunning;
  placement_ = placement;
  start_x_ = start_x;
  start_y_ = start_y;
  stop_ = 0;
  elapsed_ms_ = 0;
  observed_ms_ = now_ms;
  wire_x_ = wire_y_ = 0;
}

int64_t CutProgress::DwellTime(size_t k, bool paused, int64_t now_ms) const {
  const CourseStop& stop = course_->stops[k];
  // Standing at the stop it stood at before, the pauses there ran on meanwhile (not while the program stood
  // paused).
  int64_t time = stop.arrive_ms;
  if (k == stop_ && elapsed_ms_ >= stop.arrive_ms)
    time = elapsed_ms_ + (paused ? 0 : std::max<int64_t>(now_ms - observed_ms_, 0));
  return std::clamp(time, stop.arrive_ms, stop.leave_ms);
}

void CutProgress::Observe(int32_t x1, int32_t y1, bool paused, int64_t now_ms) {
  if (!active() || course_ == nullptr) return;
  phase_ = paused ? CutPhase::kPaused : CutPhase::kRunning;
  wire_x_ = Saturated(int64_t{x1} - start_x_);
  wire_y_ = Saturated(int64_t{y1} - start_y_);
  const std::vector<CourseStop>& stops = course_->stops;
  const double tolerance2 = double{1} * kToleranceSteps * kToleranceSteps;
  // The program cannot have gone on much further than the clock since the last look (a slow controller goes
  // less).
  const int64_t reach = elapsed_ms_ + 2 * std::max<int64_t>(now_ms - observed_ms_, 0) + 1000;
  for (size_t k = stop_; k < stops.size() && stops[k].arrive_ms <= reach; ++k) {
    const CourseStop& stop = stops[k];
    const double dx = double{1} * wire_x_ - stop.x, dy = double{1} * wire_y_ - stop.y;
    // At the stop, unless the cut has left it already (the course comes back over it later).
    if (dx * dx + dy * dy <= tolerance2 && stop.leave_ms >= elapsed_ms_) {
      elapsed_ms_ = DwellTime(k, paused, now_ms);
      stop_ = k;
      break;
    }
    if (k + 1 >= stops.size()) break;
    const CourseStop& next = stops[k + 1];
    const Projection on = Project(wire_x_, wire_y_, stop, next);
    if (on.distance2 > tolerance2 || on.t <= 0.0 || on.t >= 1.0) continue;
    const auto time = static_cast<int64_t>(nearest(
        static_cast<double>(stop.leave_ms) + on.t * static_cast<double>(next.arrive_ms - stop.leave_ms)));
    if (time < elapsed_ms_) continue;
    elapsed_ms_ = time;
    stop_ = k;
    break;
  }
  observed_ms_ = now_ms;
}

void CutProgress::Retrace(const std::vector<std::pair<int32_t, int32_t>>& passed, int64_t now_ms) {
  if (!active() || course_ == nullptr) return;
  for (const auto& [x1, y1] : passed) {
    // As if the whole program's time had gone by since the last position: the next one may lie anywhere ahead.
    observed_ms_ = now_ms - course_->total_ms - 1;
    Observe(x1, y1, false, now_ms);
  }
  observed_ms_ = now_ms;
}

void CutProgress::End(CutPhase phase) {
  if (!active()) return;
  phase_ = phase;
  if (phase != CutPhase::kFinished || course_ == nullptr) return;
  stop_ = course_->stops.size() - 1;
  elapsed_ms_ = course_->total_ms;
  wire_x_ = course_->stops.back().x;
  wire_y_ = course_->stops.back().y;
}

void CutProgress::Clear() {
  phase_ = CutPhase::kNone;
  course_.reset();
  stop_ = 0;
  elapsed_ms_ = 0;
}

int CutProgress::percent() const {
  const int64_t total = total_ms();
  if (total <= 0) return phase_ == CutPhase::kFinished ? 100 : 0;
  return static_cast<int>(
      std::clamp(nearest(100.0 * static_cast<double>(elapsed_ms_) / static_cast<double>(total)), 0.0, 100.0));
}

CutSnapshot CutProgress::Snapshot() const {
  CutSnapshot snapshot;
  snapshot.phase = phase_;
  snapshot.serial = serial_;
  snapshot.course = course_;
  snapshot.placement = placement_;
  snapshot.reached = course_ == nullptr ? 0 : std::min(stop_ + 1, course_->stops.size());
  snapshot.wire_x = wire_x_;
  snapshot.wire_y = wire_y_;
  return snapshot;
}

}  // namespace varnholt
