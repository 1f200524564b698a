#pragma once
// Which vertices of the open figures lie within the lead-in tolerance of a vertex of another figure, found through
// the index of every vertex by cells: every open vertex is looked up once in the cells around it, so the work
// follows the vertices that lie near each other, not the figures whose boxes overlap.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/vertex_cells.h"
#include "planner/plan_geometry.h"

namespace varnholt {

// For every open entry, per vertex: 1 when the vertex lies within the lead-in tolerance (Euclidean) of a vertex of
// another entry; closed entries get an empty row. `cells` indexes the entries as they stand.
std::vector<std::vector<uint8_t>> LeadInTouches(const FigureList& figures, const VertexCells& cells);
// The same marks through an index of the open entries' vertices alone, made in batches of about `batch_vertices`
// (neighbouring figures together), each looked up from the vertices of the entries whose boxes come near the
// batch's: cheaper than the index of every vertex where few figures are open. `boxes` are the entries' boxes.
std::vector<std::vector<uint8_t>> LeadInTouches(const FigureList& figures, const std::vector<PointBox>& boxes,
                                                size_t batch_vertices = size_t{1} << 16);
// Entry e's row of those marks: nothing for a closed entry or one without points.
void MarkLeadIns(const FigureList& figures, const VertexCells& cells, size_t e, std::vector<uint8_t>& marks);

}  // namespace varnholt
