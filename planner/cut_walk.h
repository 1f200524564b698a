#pragma once
// The walk of a planned cut tree from the start figure, depth first, as the machine program is written: the one
// rule the program writer and the painting of the planned path share.

#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/figure.h"
#include "planner/cut_planner.h"

namespace varnholt {

// What the walk does along the way.
class CutPathSink {
 public:
  virtual ~CutPathSink() = default;
  // The wire moves to point (drawing coordinates).
  virtual void MoveTo(const TPlotPoint& point) = 0;
  // The wire waits the corner pause.
  virtual void CornerPause() = 0;
};

struct CutWalkSettings {
  int32_t start_figure = 0;
  bool single_open_figure = false;
  bool cut_start_figure = false;  // the start figure's own vertices are cut too
};

// Walks the tree from the start figure's entry vertex (its link_aux): the direction that climbs first from each
// entry, what hangs on a figure at a vertex cut when the wire first stands there (in list order). An open figure
// entered at an end is cut forward from vertex 0 and back; entered at its last vertex it is first reversed in place,
// its link_aux set to 0 and its children's link points mirrored, so a second walk of the same plan finds it
// forward. An open figure entered at an inner vertex is cut from there to the end it climbs towards, back over
// all of it to the other end, and back to the entry. Pending entries and entries whose link figure is missing are
// not walked. An explicit stack keeps chains of any depth off the thread's stack.
void WalkCutTree(std::vector<std::unique_ptr<tfigura>>& figures, const CutWalkSettings& settings, CutPathSink& sink);

// The start figure's vertex at its link_aux, kept within its points (it has some).
const TPlotPoint& EntryVertex(const tfigura& start_figure);

// The drawing point a program of the plan begins at: the start figure's entry vertex (link_aux); the drawing's
// lower left corner when it has no start figure with points.
TPlotPoint CutEntryPoint(const PlannedDrawing& drawing);

}  // namespace varnholt
