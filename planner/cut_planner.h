#pragma once
// Cut planning of a drawing: nesting, the start, touching, join weights and connectors, into the cut tree.

#include <cstdint>

#include "planner/planned_drawing.h"

namespace varnholt {

class PlanSearch;

// How a planning run ended.
struct PlanOutcome {
  bool aborted = false;        // the operator stopped it with a key press or a left click
  int32_t unreachable = 0;     // figures left pending because no join could reach them
  int64_t connectors = 0;      // connectors appended
  int64_t repair_steps = 0;    // vertex steps taken by the crossing repair
};

// Plans the drawing's cut into its figures' link fields and appended connectors, frame or start marker, with
// progress, abort and messages through the current operator.
PlanOutcome PlanCut(PlannedDrawing& drawing);
// The same with the searches of `search` (the plain loops, or a spy, in tests and benchmarks).
PlanOutcome PlanCut(PlannedDrawing& drawing, PlanSearch& search);

// The nesting of the drawing's entries (depth, parent, child_count, max_depth).
void NestProject(PlannedDrawing& drawing);

}  // namespace varnholt
