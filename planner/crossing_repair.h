#pragma once
// Steps a connector's end vertices back until the connector crosses neither of the two figures it joins.

#include <cstdint>

#include "geometry/figure.h"

namespace varnholt {

// Moves f (of F) and g (of G) back: while the connector crosses G, g steps back (and f too each time g comes round
// to where it began); while it crosses F, f steps back (and g each time f comes round). Gives up after nF x nG steps
// and keeps the last pair, so figures that every connector crosses cannot hold planning up. Returns the steps taken.
int64_t RepairCrossings(const tfigura& f_figure, int32_t& f, const tfigura& g_figure, int32_t& g);

}  // namespace varnholt
