#pragma once
// Kerf compensation: the wire path of every closed figure moved half a kerf off its drawn outline, so that parts
// come out at the size they were drawn and holes too.

#include <cstdint>
#include <optional>
#include <vector>

#include "geometry/figure.h"
#include "geometry/point_box.h"

namespace varnholt {

// How far a mitred corner of a compensated outline may reach from its drawn corner, in offset distances. Right
// angles (1.41) and every blunter corner keep a true sharp mitre; corners sharper than 60 degrees are squared
// off at one offset distance from the drawn corner instead, which still leaves the part's tip whole (the kerf's
// edge just touches it) while the wire stays within a kerf of the drawing and never runs far beyond a thin tip
// into a neighbouring part.
inline constexpr double kKerfMitreLimit = 2.0;

// The outline of a closed path moved `distance` plotter units to its outside (positive) or inside (negative),
// mitred at its corners; in the drawn path's direction, starting at the vertex nearest to the drawn first point,
// the first point repeated at the end. A last point within the closing tolerance of the first counts as the
// closing point. Nothing when the offset does not give exactly one outline (the figure vanishes or splits) or a
// point would leave the int32 range.
std::optional<std::vector<TPlotPoint>> OffsetOutline(const std::vector<TPlotPoint>& outline, double distance);

// The half kerf in plotter units for a kerf in millimetres.
double HalfKerfUnits(double kerf_mm);

// The drawing's figures with the kerf applied.
struct KerfCompensation {
  FigureList figures;                  // one per drawn figure, in the same order, measured
  std::vector<int32_t> kept_as_drawn;  // indexes of the closed figures left as drawn (they vanish or split)
};

// Compensates the drawn figures for a kerf of kerf_mm millimetres. depths[i] is figure i's nesting depth among
// the drawing's figures: a closed figure at an even depth (a part's outline) grows by half the kerf, one at an
// odd depth (a hole) shrinks by it. Open figures keep their shape, but a vertex of one that touches a vertex of
// a compensated figure moves with that vertex, so lead-ins still reach the outline they lead into.
KerfCompensation CompensateKerf(const FigureList& drawn, const std::vector<int32_t>& depths, double kerf_mm);

// CompensateKerf on figures that are copies of the drawn figures, in the same order (drawn stays as it is):
// changes them in place and gives the indexes of the closed figures left as drawn.
std::vector<int32_t> CompensateKerfInPlace(FigureList& figures, const FigureList& drawn,
                                           const std::vector<int32_t>& depths, double kerf_mm);

}  // namespace varnholt
