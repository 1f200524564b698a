#pragma once
// The neighbour lists of cut planning, worked out when a join first asks for one (with those of the closed entries
// near it), through a grid of the entries' centres where they spread evenly and a tree of them where they crowd.

#include <cstdint>
#include <memory>

#include "planner/join_rules.h"

namespace varnholt {

// The lists of the entries there are now (centres, depths and parents as they stand), by NeighbourKey.
std::unique_ptr<NeighbourLists> MakeNeighbourLists(const FigureList& figures);

// The same through a grid of cells of the given side however the centres spread, widened only to keep the cells
// fewer than a million more than a few per entry. For tests of the grid's search: small cells make many searches
// meet the most cells one may and leave their lists to the tree.
std::unique_ptr<NeighbourLists> MakeGridNeighbourLists(const FigureList& figures, int64_t cell_side);

}  // namespace varnholt
