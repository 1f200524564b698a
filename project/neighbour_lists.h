#pragma once
// The neighbour lists of cut planning, each worked out when a join first asks for it, through a grid of the
// entries' centres searched ring by ring outwards.

#include <memory>

#include "project/join_rules.h"

namespace varnholt {

// The lists of the entries there are now (centres, depths and parents as they stand), by NeighbourKey.
std::unique_ptr<NeighbourLists> MakeNeighbourGrid(const FigureList& figures);

}  // namespace varnholt
