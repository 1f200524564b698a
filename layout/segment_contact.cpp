#include "layout/segment_contact.h"

#include <algorithm>
#include <cstdint>

namespace varnholt {
namespace {

// The sign of the cross product (b - a) x (c - a): 1 when c lies left of a->b, -1 right, 0 on its line. Differences
// of coordinates within +-2^30 stay below 2^31, so each product is below 2^62 and their difference fits.
int Orientation(const TPlotPoint& a, const TPlotPoint& b, const TPlotPoint& c) {
  const int64_t cross = (int64_t{b.x} - a.x) * (int64_t{c.y} - a.y) - (int64_t{b.y} - a.y) * (int64_t{c.x} - a.x);
  return (cross > 0) - (cross < 0);
}

// p lies on the closed segment s.
bool OnSegment(const Segment& s, const TPlotPoint& p) {
  return Orientation(s.p1, s.p2, p) == 0 && std::min(s.p1.x, s.p2.x) <= p.x && p.x <= std::max(s.p1.x, s.p2.x) &&
         std::min(s.p1.y, s.p2.y) <= p.y && p.y <= std::max(s.p1.y, s.p2.y);
}

bool IsPoint(const Segment& s) { return s.p1 == s.p2; }

// The closed segments have a common point.
bool Meet(const Segment& s, const Segment& t) {
  const int o1 = Orientation(s.p1, s.p2, t.p1), o2 = Orientation(s.p1, s.p2, t.p2);
  const int o3 = Orientation(t.p1, t.p2, s.p1), o4 = Orientation(t.p1, t.p2, s.p2);
  if (o1 * o2 < 0 && o3 * o4 < 0) return true;
  return OnSegment(s, t.p1) || OnSegment(s, t.p2) || OnSegment(t, s.p1) || OnSegment(t, s.p2);
}

// Both segments lie on one line and share more than one point.
bool OverlapAlongLine(const Segment& s, const Segment& t) {
  if (IsPoint(s) || IsPoint(t)) return false;
  if (Orientation(s.p1, s.p2, t.p1) != 0 || Orientation(s.p1, s.p2, t.p2) != 0) return false;
  const bool by_x = s.p1.x != s.p2.x;
  const auto low = [by_x](const Segment& g) { return by_x ? std::min(g.p1.x, g.p2.x) : std::min(g.p1.y, g.p2.y); };
  const auto high = [by_x](const Segment& g) { return by_x ? std::max(g.p1.x, g.p2.x) : std::max(g.p1.y, g.p2.y); };
  return std::max(low(s), low(t)) < std::min(high(s), high(t));
}

}  // namespace

bool SegmentsMeetElsewhere(const Segment& s, const Segment& t, const TPlotPoint& allowed) {
  if (!Meet(s, t)) return false;
  if (OverlapAlongLine(s, t)) return true;
  // They share exactly one point; it is the allowed one when that lies on both.
  return !(OnSegment(s, allowed) && OnSegment(t, allowed));
}

}  // namespace varnholt
