#pragma once
// The simulation of a planned cut: the wire's stops along the plan with their corner pauses, and the timing
// of the animated line that follows them one pixel a millisecond.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/figure.h"

namespace varnholt {

class ProjectDocument;
struct ProjectView;

// One position of the wire and the corner pauses it makes there.
struct PathStop {
  TPlotPoint point;
  int32_t pauses = 0;
};

// The wire's stops from the start figure's entry vertex, walking the cut tree as the program writer does,
// with the start figure's own vertices. A lone open figure is entered from the end the feed sign gives. The
// plan is not changed.
std::vector<PathStop> PlannedStops(const ProjectDocument& project);

// The animated path of one simulation: each line takes one millisecond per pixel of its length (the larger of
// its two pixel spans), each corner pause pause_ms.
class PathAnimation {
 public:
  PathAnimation() = default;
  PathAnimation(const std::vector<PathStop>& stops, const ProjectView& view, int64_t pause_ms);

  // The pixels of the stops, in order.
  const std::vector<TPlotPoint>& pixels() const { return pixels_; }
  // How long the whole path takes.
  int64_t total_ms() const { return arrive_ms_.empty() ? 0 : leave_ms_.back(); }
  // How many stops the pen has reached after elapsed_ms (at least the first, when there is one).
  size_t ReachedAt(int64_t elapsed_ms) const;
  // When the pen reaches the first stop after elapsed_ms (the path's end after its last).
  int64_t NextStopMs(int64_t elapsed_ms) const;
  // Where the pen is after elapsed_ms: at its last stop, or part of the way along the next line.
  TPlotPoint PenAt(int64_t elapsed_ms) const;

 private:
  std::vector<TPlotPoint> pixels_;
  std::vector<int64_t> arrive_ms_;  // when the pen reaches stop i
  std::vector<int64_t> leave_ms_;   // when it leaves it, after its pauses
};

// The corner pause of the simulation for the configuration's corner pause: a quarter of it, rounded.
int64_t SimulationPauseMs(double corner_pause_ms);

}  // namespace varnholt
