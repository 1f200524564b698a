#include "geometry/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "geometry/scalar.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

constexpr double kTwoPi = 2.0 * kPi;

// Coordinate differences are taken in 64 bits: two int32 values can be 2^32 apart.
int64_t Diff(int32_t from, int32_t to) { return int64_t{to} - int64_t{from}; }

double Real(int32_t v) { return static_cast<double>(v); }

// The quadrant-corrected arctangent of dy/dx for dx != 0, in [0, 2pi).
double AngleFromSlope(double dx, double dy) {
  const double base = std::atan(dy / dx);
  if (dx < 0) return base + kPi;
  if (dy < 0) return base + kTwoPi;
  return base;
}

bool StrictlyBetween(double value, double a, double b) {
  return (a < value && value < b) || (b < value && value < a);
}

bool WithinInclusive(int32_t value, int32_t a, int32_t b) {
  return (a <= value && value <= b) || (b <= value && value <= a);
}

}  // namespace

bool PointsEqual(const TPlotPoint& p, const TPlotPoint& q) { return p.x == q.x && p.y == q.y; }

bool PointsNear(const TPlotPoint& p, const TPlotPoint& q) {
  return std::llabs(Diff(p.x, q.x)) < 10 && std::llabs(Diff(p.y, q.y)) < 10;
}

double Distance(const TPlotPoint& p, const TPlotPoint& q) {
  const double dx = Real(q.x) - Real(p.x);
  const double dy = Real(q.y) - Real(p.y);
  return std::sqrt(dx * dx + dy * dy);
}

double DistanceReal(const RealPoint& p, const RealPoint& q) {
  const double dx = q.x - p.x;
  const double dy = q.y - p.y;
  return std::sqrt(dx * dx + dy * dy);
}

TLine LineThrough(const Segment& segment) {
  const TPlotPoint& a = segment.p1;
  const TPlotPoint& b = segment.p2;
  TLine line;
  if (PointsEqual(a, b)) {
    line.degenerate = 1;
    return line;
  }
  if (a.x == b.x) {
    line.vertical = 1;
    line.slope = a.y < b.y ? kVerticalSlope : -kVerticalSlope;
    line.intercept = Real(a.x);
    return line;
  }
  line.slope = (Real(b.y) - Real(a.y)) / (Real(b.x) - Real(a.x));
  line.intercept = Real(a.y) - Real(a.x) * line.slope;
  return line;
}

double DirectionAngle(const TPlotPoint& p, const TPlotPoint& q) {
  const int64_t dx = Diff(p.x, q.x);
  const int64_t dy = Diff(p.y, q.y);
  if (dx == 0 && dy == 0) return 0.0;
  if (dx == 0) return dy > 0 ? kPi / 2.0 : 3.0 * kPi / 2.0;
  return AngleFromSlope(static_cast<double>(dx), static_cast<double>(dy));
}

double DirectionAngleReal(const RealPoint& p, const RealPoint& q) {
  const double dx = q.x - p.x;
  const double dy = q.y - p.y;
  if (dx == 0.0) return p.y < q.y ? kPi / 2.0 : 3.0 * kPi / 2.0;
  return AngleFromSlope(dx, dy);
}

double TurningAngle(const TPlotPoint& a, const TPlotPoint& b, const TPlotPoint& c) {
  return TurningAngleOfDirections(DirectionAngle(a, b), DirectionAngle(b, c));
}

double TurningAngleOfDirections(double in, double out) {
  double turn = in - out;
  if (turn > kPi) turn -= kTwoPi;
  if (turn < -kPi) turn += kTwoPi;
  return turn;
}

void OrderByX(Segment& segment) {
  if (segment.p2.x < segment.p1.x) std::swap(segment.p1, segment.p2);
}

void OrderByY(Segment& segment) {
  if (segment.p2.y < segment.p1.y) std::swap(segment.p1, segment.p2);
}

bool SegmentsCross(Segment s, Segment t) {
  OrderByX(s);
  OrderByX(t);
  const TLine l = LineThrough(s);
  const TLine m = LineThrough(t);
  if (l.degenerate || m.degenerate) return false;

  if (l.vertical && m.vertical) {
    if (s.p1.x != t.p1.x) return false;
    OrderByY(s);
    OrderByY(t);
    const int32_t lo = Max(s.p1.y, t.p1.y);
    const int32_t hi = Min(s.p2.y, t.p2.y);
    const double u = (Real(lo) + Real(hi)) / 2.0;
    return Real(s.p1.y) < u && u < Real(s.p2.y) && Real(t.p1.y) < u && u < Real(t.p2.y);
  }

  // A vertical case whose range test fails leaves the candidate at 0.
  double x = 0.0;
  double y = 0.0;
  if (l.vertical) {
    if (t.p1.x < s.p1.x && s.p1.x < t.p2.x) {
      x = Real(s.p1.x);
      y = m.slope * x + m.intercept;
    }
  } else if (m.vertical) {
    if (s.p1.x < t.p1.x && t.p1.x < s.p2.x) {
      x = Real(t.p1.x);
      y = l.slope * x + l.intercept;
    }
  } else if (l.slope == m.slope) {
    if (l.intercept != m.intercept) return false;
    x = (Real(Max(s.p1.x, t.p1.x)) + Real(Min(s.p2.x, t.p2.x))) / 2.0;
    y = l.slope * x + l.intercept;
  } else {
    x = (m.intercept - l.intercept) / (l.slope - m.slope);
    y = l.slope * x + l.intercept;
  }

  const bool end_of_s = x == Real(s.p1.x) || x == Real(s.p2.x);
  const bool end_of_t = x == Real(t.p1.x) || x == Real(t.p2.x);
  bool crosses = Real(s.p1.x) <= x && x <= Real(s.p2.x) && Real(t.p1.x) <= x && x <= Real(t.p2.x) &&
                 !(end_of_s && end_of_t);
  if (l.vertical) crosses = crosses && StrictlyBetween(y, Real(s.p1.y), Real(s.p2.y));
  if (m.vertical) crosses = crosses && StrictlyBetween(y, Real(t.p1.y), Real(t.p2.y));
  return crosses;
}

bool LineIntersection(const TLine& l, const Segment& s, const TLine& m, const Segment& t, TPlotPoint& out) {
  if (l.degenerate || m.degenerate) return false;
  if (l.vertical && m.vertical) {
    if (l.intercept != m.intercept) {
      out = {0, 0};
      return true;
    }
    const int64_t lo = std::max(std::min(s.p1.y, s.p2.y), std::min(t.p1.y, t.p2.y));
    const int64_t hi = std::min(std::max(s.p1.y, s.p2.y), std::max(t.p1.y, t.p2.y));
    out = {NearestInt32Saturated(l.intercept), static_cast<int32_t>((lo + hi) / 2)};
    return true;
  }
  if (l.vertical) {
    out = {NearestInt32Saturated(l.intercept), NearestInt32Saturated(m.slope * l.intercept + m.intercept)};
    return true;
  }
  if (m.vertical) {
    out = {NearestInt32Saturated(m.intercept), NearestInt32Saturated(l.slope * m.intercept + l.intercept)};
    return true;
  }
  if (l.slope == m.slope) {
    if (l.intercept != m.intercept) {
      out = {0, 0};
      return true;
    }
    const double larger_x1 = std::max(Real(std::min(s.p1.x, s.p2.x)), Real(std::min(t.p1.x, t.p2.x)));
    const double smaller_x2 = std::min(Real(std::max(s.p1.x, s.p2.x)), Real(std::max(t.p1.x, t.p2.x)));
    const int32_t x = NearestInt32Saturated((larger_x1 + smaller_x2) / 2.0);
    out = {x, NearestInt32Saturated(l.slope * Real(x) + l.intercept)};
    return true;
  }
  const double x = (m.intercept - l.intercept) / (l.slope - m.slope);
  out = {NearestInt32Saturated(x), NearestInt32Saturated(l.slope * x + l.intercept)};
  return true;
}

bool VerticalOffset(const Segment& s, const TPlotPoint& p, double& offset) {
  offset = 0.0;
  const int32_t c = s.p1.x;
  const int32_t d = s.p2.x;
  const bool in_range = (c <= p.x && p.x < d) || (d < p.x && p.x <= c);
  if (!in_range) return false;
  const TLine line = LineThrough(s);
  if (line.vertical || line.degenerate) return false;
  offset = line.slope * Real(p.x) + line.intercept - Real(p.y);
  return true;
}

double NearestOnSegment(const TPlotPoint& p, const Segment& s, [[maybe_unused]] double tolerance,
                        TPlotPoint& nearest_point, double& angle, int32_t& location) {
  const TLine line = LineThrough(s);
  if (line.degenerate) {
    nearest_point = s.p1;
    angle = DirectionAngle(p, s.p1);
    location = kAtFirstEnd;
    return Distance(p, s.p1);
  }
  TLine perpendicular;
  if (line.vertical) {
    perpendicular.slope = 0.0;
    perpendicular.intercept = Real(p.y);
  } else if (line.slope == 0.0) {
    perpendicular.vertical = 1;
    perpendicular.slope = kVerticalSlope;
    perpendicular.intercept = Real(p.x);
  } else {
    perpendicular.slope = -1.0 / line.slope;
    perpendicular.intercept = Real(p.y) - Real(p.x) * perpendicular.slope;
  }
  TPlotPoint foot;
  LineIntersection(line, s, perpendicular, Segment{p, p}, foot);
  if (WithinInclusive(foot.x, s.p1.x, s.p2.x) && WithinInclusive(foot.y, s.p1.y, s.p2.y)) {
    nearest_point = foot;
    angle = DirectionAngle(p, foot);
    location = kOnSegment;
    return Distance(p, foot);
  }
  if (Distance(p, s.p2) > Distance(p, s.p1)) {
    nearest_point = s.p1;
    location = kAtFirstEnd;
  } else {
    nearest_point = s.p2;
    location = kAtSecondEnd;
  }
  angle = DirectionAngle(p, nearest_point);
  return Distance(p, nearest_point);
}

}  // namespace varnholt
