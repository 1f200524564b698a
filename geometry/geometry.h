#pragma once
// Free functions on plotter points and segments: distances, directions, crossings, nearest points.

#include <cstdint>
#include <limits>

#include "geometry/figure.h"

namespace varnholt {

inline constexpr double kPi = 3.14159265358979323846;

// A point in real coordinates (plotter units, or millimetres where the caller says so).
struct RealPoint {
  double x = 0.0;
  double y = 0.0;
};

// A segment with its ends in the caller's order.
struct Segment {
  TPlotPoint p1;
  TPlotPoint p2;
};

// The line through a segment. A vertical line keeps its x in intercept and +-2147483647 as slope
// (positive when the segment goes upwards); a degenerate one (p1 = p2) has every other field 0.
struct TLine {
  double slope = 0.0;
  double intercept = 0.0;
  uint8_t vertical = 0;
  uint8_t degenerate = 0;
};

inline constexpr double kVerticalSlope = 2147483647.0;

bool PointsEqual(const TPlotPoint& p, const TPlotPoint& q);
// Both coordinate differences below 10 units.
bool PointsNear(const TPlotPoint& p, const TPlotPoint& q);
double Distance(const TPlotPoint& p, const TPlotPoint& q);
double DistanceReal(const RealPoint& p, const RealPoint& q);
// dx^2 + dy^2, exact while it fits int64 (coordinates within +-2^30); saturates at INT64_MAX beyond.
inline int64_t DistanceSquared(const TPlotPoint& p, const TPlotPoint& q) {
  // Inline: planning measures every vertex pair it looks at. Each difference is below 2^32, so each square fits
  // uint64; only their sum needs the check.
  const int64_t sx = int64_t{q.x} - p.x, sy = int64_t{q.y} - p.y;
  const auto dx = static_cast<uint64_t>(sx < 0 ? -sx : sx);
  const auto dy = static_cast<uint64_t>(sy < 0 ? -sy : sy);
  constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  const uint64_t dx2 = dx * dx;
  const uint64_t dy2 = dy * dy;
  if (dx2 > kMax || dy2 > kMax - dx2) return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(dx2 + dy2);
}

TLine LineThrough(const Segment& segment);

// Direction of p -> q in [0, 2pi); 0 for p = q.
double DirectionAngle(const TPlotPoint& p, const TPlotPoint& q);
// As DirectionAngle, but dx = 0 always gives pi/2 (upwards) or 3pi/2, also for p = q.
double DirectionAngleReal(const RealPoint& p, const RealPoint& q);
// Turn of the path a -> b -> c in [-pi, pi], positive for a clockwise (right) turn with y upwards.
double TurningAngle(const TPlotPoint& a, const TPlotPoint& b, const TPlotPoint& c);
// The same turn from the directions of the way in (a -> b) and the way out (b -> c), for callers that walk a path
// and measure each direction once.
double TurningAngleOfDirections(double in, double out);

void OrderByX(Segment& segment);
void OrderByY(Segment& segment);

// True when the segments cross at a point that is not an end shared by both.
bool SegmentsCross(Segment s, Segment t);

// The common point of the lines l (through s) and m (through t), rounded to plotter units.
// Returns false and leaves out untouched when either line is degenerate.
bool LineIntersection(const TLine& l, const Segment& s, const TLine& m, const Segment& t, TPlotPoint& out);

// Signed vertical distance from p up to s when p.x lies in s's half-open x range (start included, end excluded);
// false with offset 0 when out of range or when s is vertical or degenerate.
bool VerticalOffset(const Segment& s, const TPlotPoint& p, double& offset);

// Location codes of NearestOnSegment.
enum NearestLocation : int32_t { kOnSegment = 0, kAtFirstEnd = 1, kAtSecondEnd = 2 };

// Distance from p to s, with the nearest point, the direction from p to it and where it lies. The foot test is
// exact; tolerance is accepted for the callers' sake and does not widen it.
double NearestOnSegment(const TPlotPoint& p, const Segment& s, double tolerance, TPlotPoint& nearest_point,
                        double& angle, int32_t& location);

}  // namespace varnholt
