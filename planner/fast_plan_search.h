#pragma once
// The shipped planning searches: the same answers as the plain loops, found through indexes and kept bests.

#include <memory>

#include "planner/plan_search.h"

namespace varnholt {

std::unique_ptr<PlanSearch> MakeFastPlanSearch();

}  // namespace varnholt
