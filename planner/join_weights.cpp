#include "planner/join_weights.h"

#include <cmath>

#include "geometry/geometry.h"

namespace varnholt {

// Rebuilds one entry's turning angles: the path's own turns, the closing turn for a closed figure, pi/2 at the ends
// of an open one.
void BuildTurningAngles(tfigura& figure) {
  const auto& p = figure.points;
  const size_t n = p.size();
  figure.vertex_angles.assign(n, TVertexAngle{kOpenEndAngle, 0, 0});
  if (n < 2) return;
  // Each edge's direction is measured once: it is the way out of one vertex and the way into the next.
  double in = DirectionAngle(p[0], p[1]);
  for (size_t i = 1; i + 1 < n; ++i) {
    const double out = DirectionAngle(p[i], p[i + 1]);
    figure.vertex_angles[i].angle = TurningAngleOfDirections(in, out);
    in = out;
  }
  if (figure.closed != 0) {
    figure.vertex_angles[0].angle = TurningAngle(p[n - 2], p[0], p[1]);
    figure.vertex_angles[n - 1].angle = TurningAngle(p[n - 2], p[n - 1], p[1]);
  }
}

// The join weights of one entry: corners and open paths by depth, smooth vertices 10, then the extremes.
void WeighVertices(tfigura& figure) {
  const int16_t corner_mark = figure.depth >= 2 ? 5 : 6;
  for (TVertexAngle& a : figure.vertex_angles) {
    if (std::fabs(a.angle) >= kCornerAngle || figure.open) {
      a.flag = 1;
      a.mark = corner_mark;
    } else {
      a.flag = 0;
      a.mark = 10;
    }
  }
  const int32_t extremes[4] = {figure.idx_min_y, figure.idx_max_y, figure.idx_min_x, figure.idx_max_x};
  const int16_t marks[4] = {8, 8, 9, 9};
  for (int k = 0; k < 4; ++k) {
    if (extremes[k] < 0 || static_cast<size_t>(extremes[k]) >= figure.vertex_angles.size()) continue;
    TVertexAngle& a = figure.vertex_angles[static_cast<size_t>(extremes[k])];
    if (a.flag == 0) {
      a.flag = 1;
      a.mark = marks[k];
    }
  }
}

void WeighEntries(FigureList& figures) {
  for (auto& f : figures) WeighVertices(*f);
  for (auto& f : figures) {
    if (!f->open) continue;
    for (TVertexAngle& a : f->vertex_angles) a = {a.angle, 5, 1};
  }
  for (auto& f : figures) {
    const size_t n = f->vertex_angles.size();
    if (n < kManyEntries) continue;
    const size_t m = n / 12 + 1;
    for (size_t v = 0; v < n; v += m) {
      TVertexAngle& a = f->vertex_angles[v];
      if (a.flag == 0) a = {a.angle, 10, 1};
    }
  }
}

}  // namespace varnholt
