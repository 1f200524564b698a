#pragma once
// The first measurement a reader gives each figure it hands out; the project measures it again when it keeps it.

#include "geometry/figure.h"

namespace varnholt {

// Sets has_points; with points also the box, depth 0, and open unless more than 2 points end where they start.
void FinishReadFigure(tfigura& figure);

}  // namespace varnholt
