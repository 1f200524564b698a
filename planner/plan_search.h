#pragma once
// The searches of cut planning that have a plain and a fast form; the planner runs the same steps over either.

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "geometry/units.h"
#include "planner/join_rules.h"
#include "planner/plan_geometry.h"

namespace varnholt {

class PlanSearch {
 public:
  virtual ~PlanSearch() = default;

  // Sets depth, parent and child_count of every entry; returns the deepest depth.
  virtual int32_t Nest(FigureList& figures) = 0;

  // The entries are nested and have no turning angles yet, and the touch searches follow: a search may find now
  // what they will ask, while planning holds little else.
  virtual void PrepareTouches(const FigureList& figures) = 0;

  // For every open entry, per vertex: 1 when the vertex lies within the lead-in tolerance of a vertex of another
  // entry. Closed entries get an empty row.
  virtual std::vector<std::vector<uint8_t>> OpenVertexTouches(const FigureList& figures) = 0;

  // Touch(A, B) of two entries, with its moves of connector vertices.
  virtual bool TouchEntries(FigureList& figures, int32_t a, int32_t b, TouchPair& pair) = 0;

  // A touch propagation begins: until it ends, only connectors change shape and no entry becomes pending.
  virtual void BeginTouchPropagation(const FigureList& figures) = 0;
  // The first pending entry in list order that entry f touches (Touch applied to it); -1 when none.
  virtual int32_t FirstTouchedPending(FigureList& figures, int32_t f, TouchPair& pair) = 0;

  // The neighbour lists of the entries there are now, by NeighbourKey.
  virtual std::unique_ptr<NeighbourLists> Neighbours(const FigureList& figures) = 0;

  // The joined and pending entries changed in some way other than through Joined().
  virtual void Reset() = 0;
  // The cheapest pair of a join under the variant: F in list order, then G, then F's and G's vertices, the first
  // of equal costs. Nothing when no pair passes the filter or no vertex pair is evaluated.
  virtual std::optional<JoinPair> FindJoin(const FigureList& figures, const JoinContext& context) = 0;
  // Entry f has just been joined through a new connector (appended at the end of the list).
  virtual void Joined(const FigureList& figures, int32_t f) = 0;
};

// The start join's search: its cost is linear in the vertices, so the plain loops serve both planners.
std::optional<JoinPair> FindStartJoin(const FigureList& figures, const JoinContext& context);

// The neighbour key of entry j for entry i.
int64_t NeighbourKey(const tfigura& i_figure, int32_t i, const tfigura& j_figure);
// The same from dx² + dy² of the centres' difference (j's less i's, in doubles), whether j is shallower than i
// and whether j is i's child: a search that has measured the square already keys with it. Inline: the neighbour
// lists key every centre within reach.
inline int64_t NeighbourKeyOfSquared(double distance2, bool shallower, bool child) {
  int64_t key = static_cast<int64_t>(nearest(std::sqrt(distance2)));
  if (shallower) key += kNeighbourPenalty;
  if (child) key += kNeighbourPenalty;
  return key;
}

}  // namespace varnholt
