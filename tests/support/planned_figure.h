#pragma once
// Figures of a plan made by hand: measured, no longer pending, hanging where the test says.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "geometry/figure.h"

namespace varnholt::testing {

// A measured figure that planning reached: it hangs on link_figure at vertex link_point and is entered at its
// own vertex link_aux.
inline std::unique_ptr<tfigura> PlannedFigure(std::vector<TPlotPoint> points, int32_t link_figure,
                                              int32_t link_point, int32_t link_aux) {
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
