#include "project/kerf_offset.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "geometry/box_grid.h"
#include "geometry/geometry.h"
#include "geometry/units.h"

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
// figure (in list order) that has one. Only the moved figures whose drawn box comes within the touch tolerance of
// a vertex are looked at, found through a grid of those boxes.
class VertexFollower {
 public:
  VertexFollower(const FigureList& drawn, const FigureList& compensated, const std::vector<size_t>& moved)
      : drawn_(drawn), compensated_(compensated), moved_(moved), grid_(DrawnBoxes(drawn, moved), kTouchTolerance) {}

  std::optional<TPlotPoint> Followed(const TPlotPoint& p) {
    grid_.Overlapping(PointBox{p.x, p.y, p.x, p.y, false}, near_);
    for (const int32_t k : near_) {  // ascending, so in list order
      const size_t i = moved_[static_cast<size_t>(k)];
      for (const TPlotPoint& v : drawn_[i]->points) {
        if (Touching(p, v)) return NearestPoint(compensated_[i]->points, v);
      }
    }
    return std::nullopt;
  }

 private:
  static std::vector<PointBox> DrawnBoxes(const FigureList& drawn, const std::vector<size_t>& moved) {
    std::vector<PointBox> boxes;
    boxes.reserve(moved.size());
    for (const size_t i : moved) {
      const tfigura& f = *drawn[i];
      boxes.push_back({f.min_x, f.min_y, f.max_x, f.max_y, false});
    }
    return boxes;
  }

  const FigureList& drawn_;
  const FigureList& compensated_;
  const std::vector<size_t>& moved_;
  BoxGrid grid_;
  std::vector<int32_t> near_;  // reused by every query
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

KerfCompensation CompensateKerf(const FigureList& drawn, const std::vector<int32_t>& depths, double kerf_mm) {
  KerfCompensation result;
  result.figures.reserve(drawn.size());
  std::vector<size_t> moved;  // the figures the offset moved, in list order
  const double half_kerf = HalfKerfUnits(kerf_mm);
  for (size_t i = 0; i < drawn.size(); ++i) {
    auto figure = std::make_unique<tfigura>(*drawn[i]);
    if (figure->closed && half_kerf > 0) {
      const bool hole = i < depths.size() && depths[i] % 2 != 0;
      if (auto outline = OffsetOutline(figure->points, hole ? -half_kerf : half_kerf)) {
        figure->points = std::move(*outline);
        figure->vertex_angles.clear();
        licz_parametry(*figure);
        moved.push_back(i);
      } else {
        result.kept_as_drawn.push_back(static_cast<int32_t>(i));
      }
    }
    result.figures.push_back(std::move(figure));
  }
  if (moved.empty()) return result;
  VertexFollower follower(drawn, result.figures, moved);
  for (size_t i = 0; i < drawn.size(); ++i) {
    tfigura& figure = *result.figures[i];
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
  return result;
}

}  // namespace varnholt
