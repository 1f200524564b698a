#pragma once
// Figures of a plan made by hand, for tests of what walks and writes a plan.

#include <memory>
#include <vector>

#include "geometry/figure.h"

namespace varnholt::testing {

// A measured figure, joined to the plan: it hangs on link_figure at its vertex link_point and is entered at its
// own vertex link_aux. Its vertices turn by nothing, so only the walk's own pauses are made.
inline std::unique_ptr<tfigura> PlannedFigure(std::vector<TPlotPoint> points, int32_t link_figure, int32_t link_point,
                                              int32_t link_aux) {
  auto figure = std::make_unique<tfigura>();
  figure->points = std::move(points);
  licz_parametry(*figure);
  figure->vertex_angles.assign(figure->points.size(), TVertexAngle{});
  figure->plan_flag_2 = 0;
  figure->link_figure = link_figure;
  figure->link_point = link_point;
  figure->link_aux = link_aux;
  return figure;
}

// A square of side `side` units as a closed five-point figure.
inline std::vector<TPlotPoint> Square(int32_t x, int32_t y, int32_t side = 400) {
  return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}, {x, y}};
}

}  // namespace varnholt::testing
