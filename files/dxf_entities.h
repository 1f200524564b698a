#pragma once
// Reads the groups of each drawing exchange entity the reader knows and adds its points.

#include <string_view>

#include "files/dxf_entity_input.h"
#include "files/dxf_points.h"
#include "files/dxf_shapes.h"

namespace varnholt {

// Reads the entity named `name` (its groups follow in `in`); false for a name that is no known entity. Throws
// DxfEntitySkipped when the entity cannot become a figure, RunTimeError when a value it needs is no number. Circles
// keep their sines and cosines in `circles` for the circles after them.
bool ReadDxfEntity(std::string_view name, DxfEntityInput& in, DxfPointSink& sink, UnitCircleTables& circles);

}  // namespace varnholt
