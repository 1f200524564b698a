#include "planner/crossing_repair.h"

#include <algorithm>

#include "planner/plan_geometry.h"

namespace varnholt {

int64_t RepairCrossings(const tfigura& f_figure, int32_t& f, const tfigura& g_figure, int32_t& g) {
  const int32_t nf = static_cast<int32_t>(f_figure.points.size());
  const int32_t ng = static_cast<int32_t>(g_figure.points.size());
  const int32_t f0 = f, g0 = g;
  const int64_t limit = std::max<int64_t>(1, int64_t{nf} * ng);
  int64_t steps = 0;
  for (Crossing c = ConnectorCrossing(f_figure, f, g_figure, g); c != Crossing::kNone && steps < limit;
       c = ConnectorCrossing(f_figure, f, g_figure, g)) {
    ++steps;
    if (c == Crossing::kSecond) {
      g = PreviousVertex(g, ng);
      if (g == g0) f = PreviousVertex(f, nf);
    } else {
      f = PreviousVertex(f, nf);
      if (f == f0) g = PreviousVertex(g, ng);
    }
  }
  return steps;
}

}  // namespace varnholt
