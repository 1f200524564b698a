#include "planner/plan_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "geometry/geometry.h"
#include "geometry/units.h"

namespace varnholt {

bool IsConnectorEntry(const tfigura& figure) { return figure.kind == kConnector; }

PointBox EntryBoxes::Measure(const FigureList& figures, int32_t entry) {
  const tfigura& figure = *figures[static_cast<size_t>(entry)];
  if (IsConnectorEntry(figure)) return BoxOfPoints(figure.points);
  const auto e = static_cast<size_t>(entry);
  if (known_.size() <= e) Cover(figures);
  if (!known_[e]) {
    boxes_[e] = BoxOfPoints(figure.points);
    known_[e] = 1;
  }
  return boxes_[e];
}

void EntryBoxes::Cover(const FigureList& figures) {
  // The planner reserves its list for every connector it may add: room for as many boxes from the start spares a
  // doubling (old and new copy at once) late in a plan, when memory peaks.
  boxes_.reserve(figures.capacity());
  known_.reserve(figures.capacity());
  boxes_.resize(figures.size());
  known_.resize(figures.size(), 0);
}

const std::vector<PointBox>& EntryBoxes::Settled(const FigureList& figures) {
  if (known_.size() < figures.size()) Cover(figures);
  for (size_t e = 0; e < figures.size(); ++e) {
    if (known_[e]) continue;
    const tfigura& figure = *figures[e];
    boxes_[e] = BoxOfPoints(figure.points);
    known_[e] = IsConnectorEntry(figure) ? 0 : 1;
  }
  return boxes_;
}

bool Touch(tfigura& a, tfigura& b, TouchPair& pair) {
  if (&a == &b) return false;
  for (size_t i = a.points.size(); i-- > 0;) {
    const TPlotPoint pa = a.points[i];
    for (size_t j = b.points.size(); j-- > 0;) {
      const TPlotPoint pb = b.points[j];
      if (std::llabs(int64_t{pa.x} - pb.x) <= kTouchTolerance && std::llabs(int64_t{pa.y} - pb.y) <= kTouchTolerance) {
        pair = {static_cast<int32_t>(i), static_cast<int32_t>(j)};
        MoveTouchingVertices(a, b, pair);
        return true;
      }
    }
  }
  return false;
}

void MoveTouchingVertices(tfigura& a, tfigura& b, const TouchPair& pair) {
  const auto i = static_cast<size_t>(pair.a), j = static_cast<size_t>(pair.b);
  if (IsConnectorEntry(a)) a.points[i] = b.points[j];
  if (IsConnectorEntry(b)) b.points[j] = a.points[i];
}

int32_t NearestVertex(const tfigura& figure, int32_t corner_x, int32_t corner_y) {
  const TPlotPoint corner{corner_x, corner_y};
  double best = 2000000000.0;
  int32_t index = 0;
  for (size_t i = 0; i < figure.points.size(); ++i) {
    const double d = nearest(Distance(figure.points[i], corner));
    if (d < best) {
      best = d;
      index = static_cast<int32_t>(i);
    }
  }
  return index;
}

int32_t PreviousVertex(int32_t v, int32_t n) {
  const int32_t previous = v - 1;
  if (previous >= 0) return previous;
  return std::max(0, n - 2);
}

namespace {

// Whether edge a -> b spans some of the connector's x range [lo, hi], as 0 or 1 without a branch.
unsigned SpansX(const TPlotPoint& a, const TPlotPoint& b, int32_t lo, int32_t hi) {
  return static_cast<unsigned>(std::max(a.x, b.x) >= lo) & static_cast<unsigned>(std::min(a.x, b.x) <= hi);
}

bool CrossesEdge(const Segment& connector, const TPlotPoint& a, const TPlotPoint& b, int32_t lo, int32_t hi) {
  return SpansX(a, b, lo, hi) != 0 && SegmentsCross(connector, Segment{a, b});
}

// Whether the connector crosses one of the edges k -> k + 1 for k in [from, to). Two segments cross only where both
// span the same x, so an edge wholly left or right of the connector is passed over without the full test; that
// filter runs over blocks of edges without a branch per edge (most edges of a figure lie beside a short connector),
// and a block with an edge in the connector's span is gone through edge by edge.
bool CrossesEdgeRun(const Segment& connector, const std::vector<TPlotPoint>& p, size_t from, size_t to) {
  const int32_t lo = std::min(connector.p1.x, connector.p2.x), hi = std::max(connector.p1.x, connector.p2.x);
  const auto spans = [&](size_t k) { return SpansX(p[k], p[k + 1], lo, hi); };
  const auto crosses_one = [&](size_t k) { return CrossesEdge(connector, p[k], p[k + 1], lo, hi); };
  constexpr size_t kBlock = 16;
  size_t k = from;
  for (; k + kBlock <= to; k += kBlock) {
    unsigned any = 0;
    for (size_t j = 0; j < kBlock; ++j) any |= spans(k + j);
    if (any == 0) continue;
    for (size_t j = 0; j < kBlock; ++j) {
      if (crosses_one(k + j)) return true;
    }
  }
  for (; k < to; ++k) {
    if (crosses_one(k)) return true;
  }
  return false;
}

bool CrossesEdges(const Segment& connector, const tfigura& figure, int32_t v) {
  const auto& p = figure.points;
  const size_t n = p.size();
  if (n < 2) return false;
  // Every edge k -> k + 1 but the two that end at the connector's vertex (k = v - 1 and k = v).
  const auto vertex = static_cast<size_t>(std::max(v, 0));
  if (v > 0 && CrossesEdgeRun(connector, p, 0, std::min(vertex - 1, n - 1))) return true;
  const size_t after = v < 0 ? 0 : vertex + 1;
  if (after < n - 1 && CrossesEdgeRun(connector, p, after, n - 1)) return true;
  if (!figure.closed) return false;
  // The closing edge, back from the last vertex to the first, whatever the connector's vertex.
  const int32_t lo = std::min(connector.p1.x, connector.p2.x), hi = std::max(connector.p1.x, connector.p2.x);
  return CrossesEdge(connector, p[n - 1], p[0], lo, hi);
}

}  // namespace

Crossing ConnectorCrossing(const tfigura& f_figure, int32_t f, const tfigura& g_figure, int32_t g) {
  const Segment connector{f_figure.points[static_cast<size_t>(f)], g_figure.points[static_cast<size_t>(g)]};
  if (CrossesEdges(connector, f_figure, f)) return Crossing::kFirst;
  if (CrossesEdges(connector, g_figure, g)) return Crossing::kSecond;
  return Crossing::kNone;
}

int32_t SamplingStep(size_t point_count) {
  const double n = static_cast<double>(point_count);
  const double step = nearest((n - 1.0) / kSampling);
  return step < 1.0 ? 1 : static_cast<int32_t>(step);
}



}  // namespace varnholt
