#include "program/segment_cover.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace varnholt {
namespace {

// Gaps along a path shorter than this fraction of it are rounding, not gaps.
constexpr double kParameterSlack = 1e-12;
// Long segments are looked up in at most about this many cells across the whole set.
constexpr double kCellsAcross = 4096.0;
// Cell indexes stay well inside int64 and exact in a double.
constexpr double kLargestCell = 4503599627370496.0;  // 2^52

double Dot(const RealPoint& a, const RealPoint& b) { return a.x * b.x + a.y * b.y; }
double Cross(const RealPoint& a, const RealPoint& b) { return a.x * b.y - a.y * b.x; }
RealPoint Minus(const RealPoint& a, const RealPoint& b) { return {a.x - b.x, a.y - b.y}; }
double Length(const RealPoint& a, const RealPoint& b) { return std::hypot(b.x - a.x, b.y - a.y); }

double PointSegmentDistance(const RealPoint& p, const RealPoint& a, const RealPoint& b) {
  const RealPoint u = Minus(b, a);
  const double l2 = Dot(u, u);
  double t = l2 > 0.0 ? Dot(Minus(p, a), u) / l2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * u.x), p.y - (a.y + t * u.y));
}

struct Interval {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  bool empty() const { return !(low <= high); }
  void Join(const Interval& other) {
    if (other.empty()) return;
    low = std::min(low, other.low);
    high = std::max(high, other.high);
  }
};

const Interval kEverything{-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};

// The parameters t where alpha + beta t lies in [low, high].
Interval LinearWithin(double alpha, double beta, double low, double high) {
  if (beta == 0.0) return alpha >= low && alpha <= high ? kEverything : Interval{};
  const double t1 = (low - alpha) / beta, t2 = (high - alpha) / beta;
  return {std::min(t1, t2), std::max(t1, t2)};
}

// The parameters t where p + t d lies within r of c (d not zero).
Interval WithinDisc(const RealPoint& p, const RealPoint& d, const RealPoint& c, double r) {
  const RealPoint w = Minus(p, c);
  const double a = Dot(d, d), b = 2.0 * Dot(d, w), cc = Dot(w, w) - r * r;
  const double discriminant = b * b - 4.0 * a * cc;
  if (discriminant < 0.0) return {};
  const double root = std::sqrt(discriminant);
  return {(-b - root) / (2.0 * a), (-b + root) / (2.0 * a)};
}

// The parameters t where p + t d (d not zero) lies within r of the segment from a to b: the line meets the
// capsule, a convex set, in one interval, which is what it shares with the two end discs and the band between.
Interval WithinCapsule(const RealPoint& p, const RealPoint& d, const RealPoint& a, const RealPoint& b, double r) {
  Interval result = WithinDisc(p, d, a, r);
  result.Join(WithinDisc(p, d, b, r));
  const RealPoint u = Minus(b, a);
  const double l2 = Dot(u, u);
  if (l2 > 0.0) {
    const RealPoint w = Minus(p, a);
    const Interval along = LinearWithin(Dot(w, u), Dot(d, u), 0.0, l2);
    const double half_width = r * std::sqrt(l2);
    const Interval across = LinearWithin(Cross(u, w), Cross(u, d), -half_width, half_width);
    result.Join({std::max(along.low, across.low), std::min(along.high, across.high)});
  }
  return result;
}

// The cut points of a segment of this length, so that neighbours lie at most spacing apart.
int64_t SampleSteps(double length, double spacing) {
  const double steps = std::ceil(length / spacing);
  return steps >= 1.0 ? static_cast<int64_t>(std::min(steps, kLargestCell)) : 0;
}

}  // namespace

void SegmentSet::Add(const RealPoint& a, const RealPoint& b) {
  from_.push_back(a);
  to_.push_back(b);
}

int64_t SegmentSet::CellOf(double value) const {
  return static_cast<int64_t>(std::clamp(std::floor(value / cell_), -kLargestCell, kLargestCell));
}

uint64_t SegmentSet::CellKey(int64_t column, int64_t row) {
  // Two cells may share a key; that only adds candidates, which are measured anyway.
  return static_cast<uint64_t>(column) * 0x9E3779B97F4A7C15ULL ^ static_cast<uint64_t>(row);
}

void SegmentSet::Index(double reach) {
  reach_ = reach;
  cells_.clear();
  seen_.assign(from_.size(), 0);
  stamp_ = 0;
  double total = 0.0;
  double min_x = std::numeric_limits<double>::infinity(), min_y = min_x;
  double max_x = -min_x, max_y = -min_x;
  for (size_t i = 0; i < from_.size(); ++i) {
    total += Length(from_[i], to_[i]);
    for (const RealPoint& p : {from_[i], to_[i]}) {
      min_x = std::min(min_x, p.x);
      min_y = std::min(min_y, p.y);
      max_x = std::max(max_x, p.x);
      max_y = std::max(max_y, p.y);
    }
  }
  // A query point within the reach of a segment then lies in a cell next to one the segment was entered in (both
  // are sampled every half cell), and the cells hold about three entries per segment in all.
  const double extent = from_.empty() ? 0.0 : std::max(max_x - min_x, max_y - min_y);
  cell_ = std::max({4.0 * reach, total / static_cast<double>(std::max<size_t>(from_.size(), 1)),
                    extent / kCellsAcross, 1e-9});
  for (size_t i = 0; i < from_.size(); ++i) {
    const RealPoint& a = from_[i];
    const RealPoint d = Minus(to_[i], a);
    const int64_t steps = SampleSteps(std::hypot(d.x, d.y), cell_ / 2.0);
    for (int64_t k = 0; k <= steps; ++k) {
      const double t = steps == 0 ? 0.0 : static_cast<double>(k) / static_cast<double>(steps);
      std::vector<uint32_t>& cell = cells_[CellKey(CellOf(a.x + t * d.x), CellOf(a.y + t * d.y))];
      if (cell.empty() || cell.back() != i) cell.push_back(static_cast<uint32_t>(i));
    }
  }
}

const std::vector<uint32_t>& SegmentSet::NearReach(const RealPoint& a, const RealPoint& b) {
  found_.clear();
  if (++stamp_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    stamp_ = 1;
  }
  const RealPoint d = Minus(b, a);
  const int64_t steps = SampleSteps(std::hypot(d.x, d.y), cell_ / 2.0);
  int64_t last_column = 0, last_row = 0;
  for (int64_t k = 0; k <= steps; ++k) {
    const double t = steps == 0 ? 0.0 : static_cast<double>(k) / static_cast<double>(steps);
    const int64_t column = CellOf(a.x + t * d.x), row = CellOf(a.y + t * d.y);
    if (k > 0 && column == last_column && row == last_row) continue;
    last_column = column;
    last_row = row;
    for (int64_t dc = -1; dc <= 1; ++dc) {
      for (int64_t dr = -1; dr <= 1; ++dr) {
        const auto cell = cells_.find(CellKey(column + dc, row + dr));
        if (cell == cells_.end()) continue;
        for (const uint32_t i : cell->second) {
          if (seen_[i] == stamp_) continue;
          seen_[i] = stamp_;
          found_.push_back(i);
        }
      }
    }
  }
  return found_;
}

const std::vector<uint32_t>& SegmentSet::NearBox(const RealPoint& a, const RealPoint& b, double r) {
  found_.clear();
  const double low_x = std::min(a.x, b.x) - r, high_x = std::max(a.x, b.x) + r;
  const double low_y = std::min(a.y, b.y) - r, high_y = std::max(a.y, b.y) + r;
  for (size_t i = 0; i < from_.size(); ++i) {
    const RealPoint& p = from_[i];
    const RealPoint& q = to_[i];
    if (std::max(p.x, q.x) < low_x || std::min(p.x, q.x) > high_x) continue;
    if (std::max(p.y, q.y) < low_y || std::min(p.y, q.y) > high_y) continue;
    found_.push_back(static_cast<uint32_t>(i));
  }
  return found_;
}

bool SegmentSet::UnionCovers(const RealPoint& a, const RealPoint& b, const std::vector<uint32_t>& candidates,
                             double r) const {
  const RealPoint d = Minus(b, a);
  if (d.x == 0.0 && d.y == 0.0) {
    return std::any_of(candidates.begin(), candidates.end(),
                       [&](uint32_t i) { return PointSegmentDistance(a, from_[i], to_[i]) <= r; });
  }
  std::vector<std::pair<double, double>> parts;
  for (const uint32_t i : candidates) {
    const Interval part = WithinCapsule(a, d, from_[i], to_[i], r);
    const double low = std::max(part.low, 0.0), high = std::min(part.high, 1.0);
    if (low <= high) parts.emplace_back(low, high);
  }
  std::sort(parts.begin(), parts.end());
  double covered = 0.0;
  for (const auto& [low, high] : parts) {
    if (low > covered + kParameterSlack) return false;
    covered = std::max(covered, high);
    if (covered >= 1.0 - kParameterSlack) return true;
  }
  return covered >= 1.0 - kParameterSlack;
}

double SegmentSet::SmallestCoveringRadius(const RealPoint& a, const RealPoint& b,
                                          const std::vector<uint32_t>& candidates, double low, double high) const {
  const double precision = std::max(reach_, 1e-9) * 1e-6;
  for (int i = 0; i < 200 && high - low > precision; ++i) {
    const double middle = low + (high - low) / 2.0;
    if (UnionCovers(a, b, candidates, middle)) {
      high = middle;
    } else {
      low = middle;
    }
  }
  return high;
}

bool SegmentSet::Covers(const RealPoint& a, const RealPoint& b) {
  const std::vector<uint32_t>& candidates = NearReach(a, b);
  for (const uint32_t i : candidates) {
    if (PointSegmentDistance(a, from_[i], to_[i]) <= reach_ && PointSegmentDistance(b, from_[i], to_[i]) <= reach_) {
      return true;  // one capsule holds both ends, and with them all between
    }
  }
  return UnionCovers(a, b, candidates, reach_);
}

double SegmentSet::Deviation(const RealPoint& a, const RealPoint& b) {
  if (from_.empty()) return std::numeric_limits<double>::infinity();
  const std::vector<uint32_t>& near = NearReach(a, b);
  double single = std::numeric_limits<double>::infinity();
  for (const uint32_t i : near) {
    single = std::min(single, std::max(PointSegmentDistance(a, from_[i], to_[i]),
                                       PointSegmentDistance(b, from_[i], to_[i])));
  }
  if (single <= reach_) return single;
  if (UnionCovers(a, b, near, reach_)) return SmallestCoveringRadius(a, b, near, 0.0, reach_);
  // Beyond the reach: every point of a->b lies within half its length of an end, so the farther end's distance
  // from the set plus that half bounds the answer.
  double from_a = std::numeric_limits<double>::infinity(), from_b = from_a;
  for (size_t i = 0; i < from_.size(); ++i) {
    from_a = std::min(from_a, PointSegmentDistance(a, from_[i], to_[i]));
    from_b = std::min(from_b, PointSegmentDistance(b, from_[i], to_[i]));
  }
  const double bound = std::max(from_a, from_b) + Length(a, b) / 2.0 + reach_;
  return SmallestCoveringRadius(a, b, NearBox(a, b, bound), reach_, bound);
}

}  // namespace varnholt
