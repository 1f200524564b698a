#include "planner/nesting.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

#include "geometry/geometry.h"
#include "planner/plan_threads.h"

namespace varnholt {

bool IdenticalFigures(const tfigura& a, const tfigura& b) { return a.points == b.points; }

namespace {

// Whether edge a -> b counts at (x, y) and on which side: +1 when the edge passes above the point, -1 below, 0
// when it does not count (vertical, x outside [smaller x, larger x)) or passes through it.
int EdgeSide(const TPlotPoint& a, const TPlotPoint& b, const TPlotPoint& at) {
  if (a.x == b.x) return 0;
  const int32_t lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
  if (at.x < lo || at.x >= hi) return 0;
  const TLine line = LineThrough(Segment{a, b});
  const double d = line.slope * at.x + line.intercept - at.y;
  return d > 0 ? 1 : (d < 0 ? -1 : 0);
}

// Counts outer's edges above and below (x, y); an edge counts when x lies in [smaller x, larger x).
void CountEdges(const tfigura& outer, const TPlotPoint& at, int64_t& above, int64_t& below) {
  const auto& p = outer.points;
  const size_t n = p.size();
  above = below = 0;
  const auto count = [&](const TPlotPoint& a, const TPlotPoint& b) {
    const int side = EdgeSide(a, b, at);
    above += side > 0 ? 1 : 0;
    below += side < 0 ? 1 : 0;
  };
  for (size_t t = 0; t + 1 < n; ++t) count(p[t], p[t + 1]);
  if (n >= 1) count(p[0], p[n - 1]);
}

// The parity test over inner's vertices, the counts at each from count(at, above, below).
template <class Count>
bool ParityOf(const tfigura& inner, Count&& count) {
  int64_t above = 0, below = 0;
  for (const TPlotPoint& at : inner.points) {
    count(at, above, below);
    if (above % 2 == below % 2) return below % 2 == 1;
  }
  return below % 2 == 1;
}

}  // namespace

bool ParityInside(const tfigura& inner, const tfigura& outer) {
  return ParityOf(inner, [&](const TPlotPoint& at, int64_t& above, int64_t& below) {
    CountEdges(outer, at, above, below);
  });
}

EdgeSlabs::EdgeSlabs(const tfigura& outer) {
  const auto& p = outer.points;
  const size_t n = p.size();
  // The same edges CountEdges goes through, each with its x range and line.
  const auto add = [&](const TPlotPoint& a, const TPlotPoint& b) {
    if (a.x == b.x) return;
    const TLine line = LineThrough(Segment{a, b});
    edges_.push_back({std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y), line.slope,
                      line.intercept});
  };
  for (size_t t = 0; t + 1 < n; ++t) add(p[t], p[t + 1]);
  if (n >= 1) add(p[0], p[n - 1]);
  if (edges_.empty()) return;
  low_ = INT64_MAX;
  high_ = INT64_MIN;
  for (const Edge& e : edges_) {
    low_ = std::min<int64_t>(low_, e.lo);
    high_ = std::max<int64_t>(high_, e.hi);
  }
  // About two edges per slab; an edge lies in every slab its [lo, hi) meets.
  const auto slabs = static_cast<int64_t>(edges_.size() / 2 + 1);
  width_ = std::max<int64_t>(1, (high_ - low_ + slabs - 1) / slabs);
  const auto slab_count = static_cast<size_t>((high_ - low_ - 1) / width_ + 1);
  start_.assign(slab_count + 1, 0);
  const auto for_slabs = [&](const Edge& e, auto&& slab) {
    for (int64_t s = (e.lo - low_) / width_; s <= (e.hi - 1 - low_) / width_; ++s) slab(static_cast<size_t>(s));
  };
  for (const Edge& e : edges_) for_slabs(e, [&](size_t s) { ++start_[s + 1]; });
  for (size_t s = 1; s < start_.size(); ++s) start_[s] += start_[s - 1];
  in_slabs_.resize(start_.back());
  std::vector<uint32_t> next(start_.begin(), start_.end() - 1);
  band_low_.assign(slab_count, INT64_MAX);
  band_high_.assign(slab_count, INT64_MIN);
  for (size_t k = 0; k < edges_.size(); ++k) {
    const Edge& e = edges_[k];
    // The line's value at a point of the edge's x range lies between its ends' y; the rounding of slope, intercept
    // and d moves it by less than 2^-22 (9 |slope| + 4) units when every coordinate is below 2^31 in size.
    const auto margin = static_cast<int64_t>(std::ldexp(std::fabs(e.slope) + 1.0, -18)) + 2;
    for_slabs(e, [&](size_t s) {
      in_slabs_[next[s]++] = static_cast<uint32_t>(k);
      band_low_[s] = std::min(band_low_[s], int64_t{e.y_lo} - margin);
      band_high_[s] = std::max(band_high_[s], int64_t{e.y_hi} + margin);
    });
  }
}

void EdgeSlabs::Count(const TPlotPoint& at, int64_t& above, int64_t& below) const {
  above = below = 0;
  if (edges_.empty() || at.x < low_ || at.x >= high_) return;
  const auto s = static_cast<size_t>((at.x - low_) / width_);
  for (uint32_t k = start_[s]; k < start_[s + 1]; ++k) {
    const Edge& e = edges_[in_slabs_[k]];
    if (at.x < e.lo || at.x >= e.hi) continue;
    const double d = e.slope * at.x + e.intercept - at.y;
    above += d > 0 ? 1 : 0;
    below += d < 0 ? 1 : 0;
  }
}

bool ParityInside(const tfigura& inner, const EdgeSlabs& outer) {
  return ParityOf(inner, [&](const TPlotPoint& at, int64_t& above, int64_t& below) { outer.Count(at, above, below); });
}

bool LiesInside(const tfigura& inner, const tfigura& outer) {
  if (&inner == &outer || inner.points.empty() || !outer.closed) return false;
  const PointBox i = BoxOfPoints(inner.points);
  const PointBox o = BoxOfPoints(outer.points);
  if (!(o.min_x < i.min_x && i.max_x < o.max_x && o.min_y < i.min_y && i.max_y < o.max_y)) return false;
  if (IdenticalFigures(inner, outer)) return false;
  return ParityInside(inner, outer);
}

namespace {

// Outer figures of at least this many points are tested through their edges by x; those over more than so many
// cells of the first vertices' grid ask only about the first vertices within their slabs' bands.
constexpr size_t kSlabbedPoints = 24;
constexpr int64_t kBandedCells = 1024;
// The figures an outer figure is asked about plainly before its slabs are made.
constexpr size_t kPlainAsks = 8;

// Points by the cell they lie in, each in one cell. Used for the boxes' lower left corners (a box strictly within
// another has its corner in one of the cells the other covers) and for the figures' first vertices.
class PointGrid {
 public:
  // Indexes points[i] for every i with present[i] set.
  PointGrid(const std::vector<TPlotPoint>& points, const std::vector<uint8_t>& present) {
    int64_t min_x = INT64_MAX, min_y = INT64_MAX, max_x = INT64_MIN, max_y = INT64_MIN;
    size_t count = 0;
    for (size_t i = 0; i < points.size(); ++i) {
      if (!present[i]) continue;
      ++count;
      min_x = std::min<int64_t>(min_x, points[i].x);
      min_y = std::min<int64_t>(min_y, points[i].y);
      max_x = std::max<int64_t>(max_x, points[i].x);
      max_y = std::max<int64_t>(max_y, points[i].y);
    }
    if (count == 0) return;
    origin_x_ = min_x;
    origin_y_ = min_y;
    // About two points per cell.
    const double w = static_cast<double>(max_x - min_x + 1), h = static_cast<double>(max_y - min_y + 1);
    cell_ = std::max<int64_t>(1, static_cast<int64_t>(std::sqrt(w * h / (2.0 * static_cast<double>(count)))));
    while ((static_cast<int64_t>(w) / cell_ + 1) * (static_cast<int64_t>(h) / cell_ + 1) >
           static_cast<int64_t>(4 * count + 16)) {
      cell_ *= 2;
    }
    columns_ = static_cast<int64_t>(w) / cell_ + 1;
    rows_ = static_cast<int64_t>(h) / cell_ + 1;
    start_.assign(static_cast<size_t>(columns_ * rows_) + 1, 0);
    for (size_t i = 0; i < points.size(); ++i) {
      if (present[i]) ++start_[CellOf(points[i]) + 1];
    }
    for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
    in_cells_.resize(count);
    std::vector<uint32_t> next(start_.begin(), start_.end() - 1);
    for (size_t i = 0; i < points.size(); ++i) {
      if (present[i]) in_cells_[next[CellOf(points[i])]++] = static_cast<int32_t>(i);
    }
  }

  // The cells the box meets.
  int64_t Cells(const PointBox& box) const {
    return (Column(box.max_x) - Column(box.min_x) + 1) * (Row(box.max_y) - Row(box.min_y) + 1);
  }

  // Calls visit(index) for every point in a cell that the rectangle [x0, x1] x [y0, y1] meets (every point within
  // it and some others besides), once each.
  template <class Visit>
  void ForEachNear(int64_t x0, int64_t x1, int64_t y0, int64_t y1, Visit&& visit) const {
    if (start_.empty() || x1 < x0 || y1 < y0) return;
    const int64_t c0 = Column(x0), c1 = Column(x1), r0 = Row(y0), r1 = Row(y1);
    for (int64_t c = c0; c <= c1; ++c) {
      const auto column = static_cast<size_t>(c * rows_);
      for (uint32_t k = start_[column + static_cast<size_t>(r0)]; k < start_[column + static_cast<size_t>(r1) + 1]; ++k) {
        visit(in_cells_[k]);
      }
    }
  }

 private:
  int64_t Column(int64_t x) const { return std::clamp<int64_t>((x - origin_x_) / cell_, 0, columns_ - 1); }
  int64_t Row(int64_t y) const { return std::clamp<int64_t>((y - origin_y_) / cell_, 0, rows_ - 1); }
  size_t CellOf(const TPlotPoint& p) const { return static_cast<size_t>(Column(p.x) * rows_ + Row(p.y)); }

  int64_t origin_x_ = 0, origin_y_ = 0, cell_ = 1, columns_ = 1, rows_ = 1;
  // The points of cell c: in_cells_[start_[c], start_[c + 1]); the cells by columns, a column's one after the
  // other (the slabs of a large figure are narrow columns).
  std::vector<uint32_t> start_;
  std::vector<int32_t> in_cells_;
};

// For every entry, the closed entries whose box strictly holds its box and whose parity test says it lies inside,
// ascending: entry i's are read by ForEach(i, visit). They are kept as the differences between one and the next in
// seven-bit groups (a drawing of large outlines crossing one another holds millions of pairs).
class Containers {
 public:
  // Each closed entry in turn asks a grid of every box for the boxes within its own, so that its edges, put in
  // slabs by x when it is large, serve every figure it is asked about. The pairs are found in one walk and written
  // in a second that reads the first's answers, one bit per pair of boxes, so that the exact room is known. Both
  // walks go over pieces of the outer entries on several threads; each piece keeps its own answers and, for every
  // inner entry, the first and last container it found and the bytes between them, and the pieces' parts of an
  // entry's list are laid one after the other in the pieces' order.
  Containers(const FigureList& figures, const std::vector<PointBox>& boxes) : start_(figures.size() + 1, 0) {
    const size_t n = figures.size();
    if (std::none_of(figures.begin(), figures.end(), [](const auto& f) { return f->closed != 0; })) return;
    // Every figure's first vertex side by side: it mostly decides the parity test alone. The grids: of the boxes'
    // lower left corners, and of the first vertices.
    std::vector<TPlotPoint> first(n), corners(n);
    std::vector<uint8_t> present(n);
    for (size_t i = 0; i < n; ++i) {
      present[i] = boxes[i].empty ? 0 : 1;
      if (!present[i]) continue;
      first[i] = figures[i]->points.front();
      corners[i] = {boxes[i].min_x, boxes[i].min_y};
    }
    const PointGrid by_corner(corners, present), by_first(first, present);
    // Calls pair(i, j, slabs) for the boxes i strictly within the box of each closed entry j of [begin, end), j
    // ascending. For a figure of many points over many cells, its edges in slabs come along, and only the figures
    // whose first vertex lies in a slab's band are asked about: for the others the parity test says "outside" at
    // their first vertex. For the others slabs is nullptr.
    const auto walk = [&](size_t begin, size_t end, auto&& pair) {
      for (size_t j = begin; j < end; ++j) {
        if (j % 512 == 0) PlanningTick();
        const tfigura& outer = *figures[j];
        const PointBox& bj = boxes[j];
        if (!outer.closed || bj.empty) continue;
        // The boxes strictly around one another stand for the rest of LiesInside's tests but the parity: the
        // figures differ, the inner one has points, and equal points would give equal boxes.
        const auto within = [&](size_t i) {
          const PointBox& bi = boxes[i];
          return bj.min_x < bi.min_x && bi.max_x < bj.max_x && bj.min_y < bi.min_y && bi.max_y < bj.max_y;
        };
        if (outer.points.size() < kSlabbedPoints || by_first.Cells(bj) <= kBandedCells) {
          by_corner.ForEachNear(bj.min_x, bj.max_x, bj.min_y, bj.max_y, [&](int32_t i) {
            if (within(static_cast<size_t>(i))) pair(static_cast<size_t>(i), j, nullptr);
          });
          continue;
        }
        const EdgeSlabs slabs(outer);
        for (size_t s = 0; s < slabs.slabs(); ++s) {
          const int64_t x0 = slabs.SlabLow(s), x1 = slabs.SlabHigh(s) - 1;
          const int64_t y0 = slabs.BandLow(s), y1 = slabs.BandHigh(s);
          by_first.ForEachNear(x0, x1, y0, y1, [&](int32_t i) {
            const TPlotPoint& p = first[static_cast<size_t>(i)];
            if (p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1 && within(static_cast<size_t>(i))) {
              pair(static_cast<size_t>(i), j, &slabs);
            }
          });
        }
      }
    };
    const size_t pieces = static_cast<size_t>(std::min(PlanningThreads(), kPieces));
    std::vector<Piece> parts(pieces);
    ForEachPiece(n, pieces, [&](size_t p, size_t begin, size_t end) {
      Piece& part = parts[p];
      part.first.assign(n, -1);
      part.last.assign(n, -1);
      part.bytes.assign(n, 0);
      // A figure of many points over few cells is asked about plainly at first; its slabs are made once it has
      // been asked about more than a few figures.
      size_t asked = 0, slabs_of = n, asked_of = n, asked_of_j = 0;
      std::unique_ptr<EdgeSlabs> own_slabs;
      walk(begin, end, [&](size_t i, size_t j, const EdgeSlabs* slabs) {
        bool inside = false;
        if (asked_of != j) {
          asked_of = j;
          asked_of_j = 0;
        }
        if (slabs == nullptr && figures[j]->points.size() >= kSlabbedPoints && ++asked_of_j > kPlainAsks) {
          if (slabs_of != j) {
            own_slabs = std::make_unique<EdgeSlabs>(*figures[j]);
            slabs_of = j;
          }
          slabs = own_slabs.get();
        }
        if (slabs == nullptr) {
          inside = ParityInside(*figures[i], *figures[j]);
        } else {
          int64_t above = 0, below = 0;
          slabs->Count(first[i], above, below);
          inside = above % 2 == below % 2 ? below % 2 == 1 : ParityInside(*figures[i], *slabs);
        }
        if (asked % 64 == 0) part.answers.push_back(0);
        if (inside) {
          part.answers.back() |= uint64_t{1} << (asked % 64);
          if (part.first[i] < 0) {
            part.first[i] = static_cast<int32_t>(j);
          } else {
            part.bytes[i] += static_cast<uint32_t>(BytesOf(static_cast<uint32_t>(static_cast<int32_t>(j) - part.last[i])));
          }
          part.last[i] = static_cast<int32_t>(j);
        }
        ++asked;
      });
    });
    // Each entry's room, and where each piece's part of it begins (in bytes) with the container before it; the
    // pieces' arrays take those over.
    for (size_t i = 0; i < n; ++i) {
      int32_t previous = -1;
      uint64_t room = 0;
      for (Piece& part : parts) {
        if (part.first[i] < 0) continue;
        const uint64_t own = BytesOf(static_cast<uint32_t>(part.first[i] - previous)) + part.bytes[i];
        part.bytes[i] = static_cast<uint32_t>(room);
        part.first[i] = previous;
        room += own;
        previous = part.last[i];
      }
      start_[i + 1] = start_[i] + room;
    }
    bytes_.resize(start_[n]);
    ForEachPiece(n, pieces, [&](size_t p, size_t begin, size_t end) {
      Piece& part = parts[p];
      size_t asked = 0;
      walk(begin, end, [&](size_t i, size_t j, const EdgeSlabs*) {
        if ((part.answers[asked / 64] >> (asked % 64)) & 1) {
          uint32_t gap = static_cast<uint32_t>(static_cast<int32_t>(j) - part.first[i]);
          part.first[i] = static_cast<int32_t>(j);
          uint64_t at = start_[i] + part.bytes[i];
          while (gap >= 0x80) {
            bytes_[at++] = static_cast<uint8_t>(gap | 0x80);
            gap >>= 7;
          }
          bytes_[at++] = static_cast<uint8_t>(gap);
          part.bytes[i] = static_cast<uint32_t>(at - start_[i]);
        }
        ++asked;
      });
    });
  }

  template <class Visit>
  void ForEach(size_t i, Visit&& visit) const {
    int32_t j = -1;
    for (uint64_t k = start_[i]; k < start_[i + 1];) {
      uint32_t gap = 0;
      for (int shift = 0;; shift += 7) {
        const uint8_t byte = bytes_[k++];
        gap |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if (byte < 0x80) break;
      }
      j += static_cast<int32_t>(gap);
      visit(j);
    }
  }

 private:
  static uint64_t BytesOf(uint32_t gap) {
    uint64_t bytes = 1;
    while (gap >= 0x80) {
      gap >>= 7;
      ++bytes;
    }
    return bytes;
  }

  // One piece of outer entries: the answers of its walk, and by inner entry the first and last container found
  // (-1: none) and the bytes of the gaps after the first. Before the second walk, `first` holds the container
  // before the piece's part and `bytes` where the part begins; during it, the last container and byte written.
  struct Piece {
    std::vector<uint64_t> answers;
    std::vector<int32_t> first, last;
    std::vector<uint32_t> bytes;
  };
  // At most this many pieces: each holds three numbers per entry.
  static constexpr int kPieces = 4;

  std::vector<uint64_t> start_;  // entry i's containers are bytes_[start_[i], start_[i + 1])
  std::vector<uint8_t> bytes_;
};

// Rings: runs of entries in list order, each lying well inside the next, a strictly convex closed outline (contour
// rings, offset outlines, listed innermost first), or each the next's outline (outermost first). In such a run every
// outer member holds every inner one by the parity test, and nothing else does when no other entry's box lies within
// the run's outermost box: what the passes give follows from the order, without asking about every pair.
constexpr size_t kRingRun = 32;                // the longest run must be at least this long to be worth it
constexpr int64_t kRingCoordinate = 1 << 30;   // beyond this the exact products could overflow
constexpr size_t kRingPairPoints = 16384;      // inner points times outer corners checked for one link at most

bool RingCoordinates(const TPlotPoint& p) {
  return p.x > -kRingCoordinate && p.x < kRingCoordinate && p.y > -kRingCoordinate && p.y < kRingCoordinate;
}

// The corners of a closed figure, repeats dropped, counter-clockwise, when they make a strictly convex outline that
// turns once; empty otherwise. The parity test's edges are the cycle of these corners (repeats give no edge).
std::vector<TPlotPoint> ConvexCorners(const tfigura& f) {
  std::vector<TPlotPoint> c;
  if (!f.closed) return c;
  for (const TPlotPoint& p : f.points) {
    if (!RingCoordinates(p)) return {};
    if (c.empty() || !(c.back() == p)) c.push_back(p);
  }
  while (c.size() > 1 && c.back() == c.front()) c.pop_back();
  if (c.size() < 3) return {};
  const size_t m = c.size();
  int sign = 0;
  double turned = 0.0;
  for (size_t k = 0; k < m; ++k) {
    const TPlotPoint& a = c[k];
    const TPlotPoint& b = c[(k + 1) % m];
    const TPlotPoint& d = c[(k + 2) % m];
    const int64_t ux = int64_t{b.x} - a.x, uy = int64_t{b.y} - a.y, vx = int64_t{d.x} - b.x, vy = int64_t{d.y} - b.y;
    const int64_t cross = ux * vy - uy * vx;
    if (cross == 0) return {};
    const int s = cross > 0 ? 1 : -1;
    if (sign != 0 && s != sign) return {};
    sign = s;
    turned += std::atan2(static_cast<double>(cross), static_cast<double>(ux * vx + uy * vy));
  }
  // Every turn the same way: once around is 2 pi, a star's twice is 4 pi.
  if (std::fabs(std::fabs(turned) - 2.0 * 3.141592653589793) > 1.0) return {};
  if (sign < 0) std::reverse(c.begin(), c.end());
  return c;
}

// Every point of inner lies strictly inside the convex outline `outer` (counter-clockwise corners), farther above or
// below each edge that is not vertical than its line's value can be off by rounding in the parity test. Then so does
// every point of inner's hull (the distances are linear along it), and so every point of a figure inside inner.
bool RobustlyWithin(const tfigura& inner, const std::vector<TPlotPoint>& outer) {
  if (inner.points.empty() || outer.empty() || inner.points.size() * outer.size() > kRingPairPoints) return false;
  for (const TPlotPoint& v : inner.points) {
    if (!RingCoordinates(v)) return false;
  }
  const size_t m = outer.size();
  for (size_t k = 0; k < m; ++k) {
    const TPlotPoint& a = outer[k];
    const TPlotPoint& b = outer[(k + 1) % m];
    const int64_t dx = int64_t{b.x} - a.x, dy = int64_t{b.y} - a.y;
    // |cross| is |dx| times the height of v over the edge's line. The rounding of the line's value stays below
    // 2^-22 (9 |slope| + 4) units; the margin asked is well above that.
    const double slope = dx == 0 ? 0.0 : std::fabs(static_cast<double>(dy) / static_cast<double>(dx));
    const double margin = (std::ldexp(slope + 1.0, -18) + 3.0) * static_cast<double>(dx < 0 ? -dx : dx);
    for (const TPlotPoint& v : inner.points) {
      const int64_t cross = dx * (int64_t{v.y} - a.y) - dy * (int64_t{v.x} - a.x);
      if (cross <= 0) return false;
      if (dx != 0 && static_cast<double>(cross) <= margin) return false;
    }
  }
  return true;
}

// The nesting of rings, when every entry belongs to a run as above (most runs one entry long) and no entry's box
// lies strictly within a run's outermost box but the run's own members'. Returns false, setting nothing, otherwise.
bool NestRings(const std::vector<const tfigura*>& figures, const std::vector<PointBox>& boxes,
               std::vector<int32_t>& depth, std::vector<int32_t>& parent, std::vector<int32_t>& child_count,
               int32_t& max_depth) {
  const size_t n = figures.size();
  if (n < kRingRun) return false;
  const auto strictly_within = [&](size_t i, size_t j) {
    const PointBox& bi = boxes[i];
    const PointBox& bj = boxes[j];
    return !bi.empty && !bj.empty && bj.min_x < bi.min_x && bi.max_x < bj.max_x && bj.min_y < bi.min_y &&
           bi.max_y < bj.max_y;
  };
  // Entry i links to i + 1 when it lies well inside it (inward: the run innermost first) or i + 1 inside it
  // (outward: outermost first); cheap box tests before the outline's.
  constexpr uint8_t kNoLink = 0, kInward = 1, kOutward = 2;
  const auto link = [&](size_t i) -> uint8_t {
    if (figures[i + 1]->closed && strictly_within(i, i + 1) &&
        RobustlyWithin(*figures[i], ConvexCorners(*figures[i + 1]))) {
      return kInward;
    }
    if (figures[i]->closed && strictly_within(i + 1, i) &&
        RobustlyWithin(*figures[i + 1], ConvexCorners(*figures[i]))) {
      return kOutward;
    }
    return kNoLink;
  };
  // The boxes alone first: where no 32 of them lie one within the next, no run is long enough, and the outlines
  // (letters with holes, say) are left unmeasured.
  {
    size_t boxed = 1, length = 1;
    uint8_t previous = kNoLink;
    for (size_t i = 0; i + 1 < n; ++i) {
      const uint8_t w = figures[i + 1]->closed && strictly_within(i, i + 1) ? kInward
                        : figures[i]->closed && strictly_within(i + 1, i)   ? kOutward
                                                                            : kNoLink;
      length = w == kNoLink ? 1 : (w == previous ? length + 1 : 2);
      previous = w;
      boxed = std::max(boxed, length);
    }
    if (boxed < kRingRun) return false;
  }
  // The runs, from the front: a run goes on while its links go the same way; an entry ends one run at most.
  // first[i], last[i]: the run of entry i.
  std::vector<int32_t> first(n), last(n);
  std::vector<uint8_t> way(n, kNoLink);
  size_t longest = 1;
  for (size_t a = 0; a < n;) {
    if (a % 4096 == 0) PlanningTick();
    size_t b = a;
    const uint8_t w = a + 1 < n ? link(a) : kNoLink;
    if (w != kNoLink) {
      b = a + 1;
      while (b + 1 < n && link(b) == w) {
        ++b;
        if (b % 4096 == 0) PlanningTick();
      }
    }
    for (size_t k = a; k <= b; ++k) {
      first[k] = static_cast<int32_t>(a);
      last[k] = static_cast<int32_t>(b);
    }
    way[a] = w;
    longest = std::max(longest, b - a + 1);
    a = b + 1;
  }
  if (longest < kRingRun) return false;
  // No other box strictly within a closed run's outermost box (a member's box lies within it, so this covers the
  // members' boxes too): no entry outside a run holds or is held by one of its members.
  std::vector<TPlotPoint> corners(n);
  std::vector<uint8_t> present(n);
  for (size_t i = 0; i < n; ++i) {
    present[i] = boxes[i].empty ? 0 : 1;
    if (present[i]) corners[i] = {boxes[i].min_x, boxes[i].min_y};
  }
  const PointGrid by_corner(corners, present);
  for (size_t a = 0; a < n; a = static_cast<size_t>(last[a]) + 1) {
    if (a % 4096 == 0) PlanningTick();
    const size_t j = way[a] == kInward ? static_cast<size_t>(last[a]) : a;
    if (!figures[j]->closed || boxes[j].empty) continue;
    const PointBox& bj = boxes[j];
    bool foreign = false;
    by_corner.ForEachNear(bj.min_x, bj.max_x, bj.min_y, bj.max_y, [&](int32_t i) {
      const auto ui = static_cast<size_t>(i);
      if (!foreign && first[ui] != static_cast<int32_t>(a) && strictly_within(ui, j)) foreign = true;
    });
    if (foreign) return false;
  }
  // Innermost first, the passes give each member the next as parent, once. Outermost first, each member is given
  // every one before it in turn, the last it keeps: a member counts one assignment for every member after it.
  max_depth = 0;
  for (size_t a = 0; a < n; a = static_cast<size_t>(last[a]) + 1) {
    const auto b = static_cast<size_t>(last[a]);
    if (b == a) continue;
    max_depth = std::max(max_depth, static_cast<int32_t>(b - a));
    for (size_t k = a; k <= b; ++k) {
      if (way[a] == kInward) {
        if (k == b) continue;
        parent[k] = static_cast<int32_t>(k + 1);
        depth[k] = static_cast<int32_t>(b - k);
        child_count[k + 1] = 1;
      } else {
        if (k > a) {
          parent[k] = static_cast<int32_t>(k - 1);
          depth[k] = static_cast<int32_t>(k - a);
        }
        child_count[k] = static_cast<int32_t>(b - k);
      }
    }
  }
  return true;
}

}  // namespace

int32_t NestFigures(FigureList& figures, const std::vector<PointBox>& boxes) {
  const size_t n = figures.size();
  // The passes read a container's and a parent's depth for every containment pair, pass after pass: the depths,
  // parents and counts are kept side by side here, not in the figure records, and written back at the end.
  std::vector<int32_t> depth(n, 0), parent(n, -1), child_count(n, 0);
  const auto write_back = [&] {
    for (size_t i = 0; i < n; ++i) {
      tfigura& f = *figures[i];
      f.depth = depth[i];
      f.parent = parent[i];
      f.child_count = child_count[i];
    }
  };
  int32_t max_depth = 0;
  {
    std::vector<const tfigura*> list(n);
    for (size_t i = 0; i < n; ++i) list[i] = figures[i].get();
    if (NestRings(list, boxes, depth, parent, child_count, max_depth)) {
      write_back();
      return max_depth;
    }
  }
  const Containers containers(figures, boxes);
  // Each entry's children, in no order (only their depths are set from them), and where in its parent's list an
  // entry stands, so that a re-parented one leaves it at once.
  std::vector<std::vector<int32_t>> children(n);
  std::vector<int32_t> place(n, -1);
  // Depths below a re-parented figure follow its new depth.
  const auto redepth = [&](auto&& self, int32_t index) -> void {
    for (int32_t child : children[static_cast<size_t>(index)]) {
      const int32_t d = depth[static_cast<size_t>(index)] + 1;
      depth[static_cast<size_t>(child)] = d;
      max_depth = std::max(max_depth, d);
      self(self, child);
    }
  };
  bool assigned = true;
  while (assigned) {
    assigned = false;
    for (size_t i = 0; i < n; ++i) {
      if (i % 4096 == 0) PlanningTick();
      containers.ForEach(i, [&](int32_t j) {
        const auto uj = static_cast<size_t>(j);
        const int32_t current = parent[i];
        if (current != -1 && depth[static_cast<size_t>(current)] >= depth[uj]) return;
        if (current != -1) {
          auto& old = children[static_cast<size_t>(current)];
          const int32_t moved = old.back();
          old[static_cast<size_t>(place[i])] = moved;
          place[static_cast<size_t>(moved)] = place[i];
          old.pop_back();
        }
        parent[i] = j;
        place[i] = static_cast<int32_t>(children[uj].size());
        children[uj].push_back(static_cast<int32_t>(i));
        depth[i] = depth[uj] + 1;
        max_depth = std::max(max_depth, depth[i]);
        redepth(redepth, static_cast<int32_t>(i));
        ++child_count[uj];
        assigned = true;
      });
    }
  }
  write_back();
  return max_depth;
}

}  // namespace varnholt
