#pragma once
// Which vertices of the open figures lie within the lead-in tolerance of a vertex of another figure, found through
// an index of the open figures' vertices by cells: every vertex is looked up once in the cells around it, so the
// work follows the vertices that lie near each other, not the figures whose boxes overlap.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "project/plan_geometry.h"

namespace varnholt {

// For every open entry, per vertex: 1 when the vertex lies within the lead-in tolerance (Euclidean) of a vertex of
// another entry; closed entries get an empty row. `boxes` are the entries' boxes. The open vertices are indexed in
// batches of about `batch_vertices` (neighbouring figures together), which bounds the index's memory.
std::vector<std::vector<uint8_t>> LeadInTouches(const FigureList& figures, const std::vector<PointBox>& boxes,
                                                size_t batch_vertices = size_t{1} << 16);

}  // namespace varnholt
