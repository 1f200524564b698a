#pragma once
// Turning angles and join weights of the vertices: corners and extremes are where connectors prefer to start.

#include "planner/plan_geometry.h"

namespace varnholt {

// Rebuilds an entry's vertex records: the turn at every vertex (the closing turn at both ends of a closed figure,
// pi/2 at the ends of an open one); marks and flags cleared.
void BuildTurningAngles(tfigura& figure);

// Weighs one entry: corners (turn of at least pi/5) and every vertex of an open entry get mark 5 at depth 2 or more,
// else 6; smooth vertices 10 without flag; then the unflagged extremes 8 (y) and 9 (x).
void WeighVertices(tfigura& figure);

// Weighs every entry, then gives every vertex of an open entry mark 5 and flags every (n div 12 + 1)-th unflagged
// vertex of an entry of 21 points or more with mark 10.
void WeighEntries(FigureList& figures);

}  // namespace varnholt
