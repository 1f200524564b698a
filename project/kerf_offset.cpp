#include "project/kerf_offset.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

bool InBox(const tfigura& figure, const TPlotPoint& p) {
  return int64_t{p.x} >= int64_t{figure.min_x} - kTouchTolerance &&
         int64_t{p.x} <= int64_t{figure.max_x} + kTouchTolerance &&
         int64_t{p.y} >= int64_t{figure.min_y} - kTouchTolerance &&
         int64_t{p.y} <= int64_t{figure.max_y} + kTouchTolerance;
}

// Where a vertex of an open figure goes: onto the compensated place of the first compensated figure's vertex it
// touches, or nowhere.
std::optional<TPlotPoint> FollowedVertex(const TPlotPoint& p, const FigureList& drawn, const FigureList& compensated,
                                         const std::vector<size_t>& moved) {
  for (const size_t i : moved) {
    if (!InBox(*drawn[i], p)) continue;
    for (const TPlotPoint& v : drawn[i]->points) {
      if (Touching(p, v)) return NearestPoint(compensated[i]->points, v);
    }
  }
  return std::nullopt;
}

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
  for (size_t i = 0; i < drawn.size(); ++i) {
    tfigura& figure = *result.figures[i];
    if (figure.closed || moved.empty()) continue;
    bool changed = false;
    for (TPlotPoint& p : figure.points) {
      if (const auto followed = FollowedVertex(p, drawn, result.figures, moved)) {
        changed = changed || *followed != p;
        p = *followed;
      }
    }
    if (changed) licz_parametry(figure);
  }
  return result;
}

}  // namespace varnholt
