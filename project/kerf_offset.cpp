#include "project/kerf_offset.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "geometry/geometry.h"
#include "geometry/units.h"
#include "geometry/vertex_cells.h"

namespace varnholt {
namespace {

using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

Path ToPath(const std::vector<TPlotPoint>& outline) {
  size_t count = outline.size();
  // The closing point (equal to the first, or within the closing tolerance of it) is the edge back to the start.
  if (count >= 2 && PointsNear(outline.front(), outline.back())) --count;
  Path path;
  path.reserve(count);
  for (size_t i = 0; i < count; ++i) path.emplace_back(outline[i].x, outline[i].y);
  return path;
}

bool FitsInt32(const IntPoint& p) {
  return p.X >= INT32_MIN && p.X <= INT32_MAX && p.Y >= INT32_MIN && p.Y <= INT32_MAX;
}

int64_t SquaredDistance(const IntPoint& p, const TPlotPoint& q) {
  const int64_t dx = p.X - q.x, dy = p.Y - q.y;
  return dx * dx + dy * dy;
}

// The index of the point of `path` nearest to q, the first of equal ones.
size_t NearestIndex(const Path& path, const TPlotPoint& q) {
  size_t best = 0;
  for (size_t i = 1; i < path.size(); ++i) {
    if (SquaredDistance(path[i], q) < SquaredDistance(path[best], q)) best = i;
  }
  return best;
}

// The compensated point of a drawn vertex: the outline's vertex nearest to it.
TPlotPoint NearestPoint(const std::vector<TPlotPoint>& outline, const TPlotPoint& q) {
  TPlotPoint best = outline.front();
  for (const TPlotPoint& p : outline) {
    if (DistanceSquared(p, q) < DistanceSquared(best, q)) best = p;
  }
  return best;
}

bool Touching(const TPlotPoint& p, const TPlotPoint& q) {
  return std::llabs(int64_t{p.x} - q.x) <= kTouchTolerance && std::llabs(int64_t{p.y} - q.y) <= kTouchTolerance;
}

// Where the vertices of open figures go: onto the compensated place of the vertex they touch of the first moved
// figure (in list order) that has one, its first such vertex. The drawn vertices are found through a cell index,
// so each vertex looks at the few vertices near it, however large the figures around it are.
class VertexFollower {
 public:
  VertexFollower(const FigureList& drawn, const FigureList& compensated, const std::vector<size_t>& moved)
      : drawn_(drawn), compensated_(compensated), cells_(drawn), moved_(drawn.size(), 0) {
    for (const size_t i : moved) moved_[i] = 1;
  }

  std::optional<TPlotPoint> Followed(const TPlotPoint& p) const {
    // Ids run in list order and within a figure in point order: the least touching id is the first vertex of the
    // first figure.
    uint32_t first = UINT32_MAX;
    cells_.Near(p.x, p.y, [&](const VertexCells::Vertex& v) {
      if (v.id < first && Touching(p, {v.x, v.y}) && moved_[static_cast<size_t>(cells_.EntryOf(v.id))]) {
        first = v.id;
      }
      return false;
    });
    if (first == UINT32_MAX) return std::nullopt;
    const int32_t e = cells_.EntryOf(first);
    const size_t i = static_cast<size_t>(e);
    return NearestPoint(compensated_[i]->points, drawn_[i]->points[first - cells_.FirstId(e)]);
  }

 private:
  const FigureList& drawn_;
  const FigureList& compensated_;
  const VertexCells cells_;
  std::vector<uint8_t> moved_;  // by figure: 1 when the offset moved it
};

}  // namespace

std::optional<std::vector<TPlotPoint>> OffsetOutline(const std::vector<TPlotPoint>& outline, double distance) {
  const Path path = ToPath(outline);
  if (path.size() < 3 || !std::isfinite(distance)) return std::nullopt;
  Paths solution;
  try {
    ClipperLib::ClipperOffset offset(kKerfMitreLimit);
    offset.AddPath(path, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    offset.Execute(solution, distance);
  } catch (const ClipperLib::clipperException&) {
    return std::nullopt;
  }
  if (solution.size() != 1 || solution.front().size() < 3) return std::nullopt;
  Path& result = solution.front();
  if (!std::all_of(result.begin(), result.end(), FitsInt32)) return std::nullopt;
  // The library gives its own direction and first point; the wire keeps the drawing's.
  if (ClipperLib::Orientation(result) != ClipperLib::Orientation(path)) ClipperLib::ReversePath(result);
  const size_t first = NearestIndex(result, outline.front());
  std::rotate(result.begin(), result.begin() + static_cast<std::ptrdiff_t>(first), result.end());
  std::vector<TPlotPoint> points;
  points.reserve(result.size() + 1);
  for (const IntPoint& p : result) points.push_back({static_cast<int32_t>(p.X), static_cast<int32_t>(p.Y)});
  points.push_back(points.front());
  return points;
}

double HalfKerfUnits(double kerf_mm) { return kerf_mm * kUnitsPerMm / 2.0; }

std::vector<int32_t> CompensateKerfInPlace(FigureList& figures, const FigureList& drawn,
                                           const std::vector<int32_t>& depths, double kerf_mm) {
  std::vector<int32_t> kept_as_drawn;
  std::vector<size_t> moved;  // the figures the offset moved, in list order
  const double half_kerf = HalfKerfUnits(kerf_mm);
  for (size_t i = 0; i < figures.size(); ++i) {
    tfigura& figure = *figures[i];
    if (!figure.closed || !(half_kerf > 0)) continue;
    const bool hole = i < depths.size() && depths[i] % 2 != 0;
    if (auto outline = OffsetOutline(figure.points, hole ? -half_kerf : half_kerf)) {
      figure.points = std::move(*outline);
      figure.vertex_angles.clear();
      licz_parametry(figure);
      moved.push_back(i);
    } else {
      kept_as_drawn.push_back(static_cast<int32_t>(i));
    }
  }
  if (moved.empty()) return kept_as_drawn;
  const VertexFollower follower(drawn, figures, moved);
  for (const auto& entry : figures) {
    tfigura& figure = *entry;
    if (figure.closed) continue;
    bool changed = false;
    for (TPlotPoint& p : figure.points) {
      if (const auto followed = follower.Followed(p)) {
        changed = changed || *followed != p;
        p = *followed;
      }
    }
    if (changed) licz_parametry(figure);
  }
  return kept_as_drawn;
}

KerfCompensation CompensateKerf(const FigureList& drawn, const std::vector<int32_t>& depths, double kerf_mm) {
  KerfCompensation result;
  result.figures = CopyFigures(drawn);
  result.kept_as_drawn = CompensateKerfInPlace(result.figures, drawn, depths, kerf_mm);
  return result;
}

}  // namespace varnholt
