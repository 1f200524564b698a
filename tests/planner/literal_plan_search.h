#pragma once
// The planning searches written as the plain loops over every entry, pair and vertex: the oracle for the shipped
// indexed searches.

#include <memory>

#include "planner/plan_search.h"

namespace varnholt {

std::unique_ptr<PlanSearch> MakeLiteralPlanSearch();

}  // namespace varnholt
