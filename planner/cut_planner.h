#pragma once
// Cut planning of a project: nesting, the start, touching, join weights and connectors, into the cut tree.

#include <cstdint>

#include "project/plan_search.h"

namespace varnholt {

class ProjectDocument;

// How a planning run ended.
struct PlanOutcome {
  bool aborted = false;        // the operator stopped it with a key press or a left click
  int32_t unreachable = 0;     // figures left pending because no join could reach them
  int64_t connectors = 0;      // connectors appended
  int64_t repair_steps = 0;    // vertex steps taken by the crossing repair
};

// Plans the project's cut into its figures' link fields and appended connectors, frame or start marker, with
// progress, abort and messages through the current operator. The searches come from `search`.
PlanOutcome PlanCut(ProjectDocument& document, PlanSearch& search);

// The nesting of the project's entries (depth, parent, child_count, max_depth).
void NestProject(ProjectDocument& document, PlanSearch& search);


}  // namespace varnholt
