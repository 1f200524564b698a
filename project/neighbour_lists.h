#pragma once
// The neighbour lists of cut planning, worked out when a join first asks for one (with those of the closed entries
// near it), through a tree of the entries' centres.

#include <memory>

#include "project/join_rules.h"

namespace varnholt {

// The lists of the entries there are now (centres, depths and parents as they stand), by NeighbourKey.
std::unique_ptr<NeighbourLists> MakeNeighbourLists(const FigureList& figures);

}  // namespace varnholt
