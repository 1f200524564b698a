#pragma once
// The shipped planning searches: the same answers as the plain loops, found through indexes and kept bests.

#include <memory>

#include "planner/plan_search.h"

namespace varnholt {

// How the entries each entry touches are found: through an index of every vertex, made once per plan, or from the
// boxes when an entry is first asked; by default the drawing decides (the index where many boxes come near one
// another). The plans are the same.
enum class TouchListing { kByDrawing, kVertexIndex, kWhenAsked };

std::unique_ptr<PlanSearch> MakeFastPlanSearch(TouchListing listing = TouchListing::kByDrawing);

}  // namespace varnholt
