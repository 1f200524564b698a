#include "layout/connecting_path.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "layout/segment_contact.h"

namespace varnholt {
namespace {

// The lead-in and lead-out lie this far (1 mm) beyond the connecting lines.
constexpr int64_t kLeadMargin = 40;

struct Point64 {
  int64_t x = 0;
  int64_t y = 0;
};

class PathBuilder {
 public:
  explicit PathBuilder(const PathInputs& in) : in_(in), g_(in.grid) {
    at_corner_ = in.start.x == in.pattern.min_x && in.start.y == in.pattern.min_y;
  }

  std::vector<TPlotPoint> Build() {
    LeadIn();
    for (int64_t r = g_.rows - 1; r >= 0; --r) {
      if ((g_.rows - 1 - r) % 2 == 0) {
        LeftToRight(r);
      } else {
        RightToLeft(r);
      }
    }
    LeadOut();
    return std::move(points_);
  }

 private:
  void Add(int64_t x, int64_t y) { points_.push_back({LayoutCoordinate(x), LayoutCoordinate(y)}); }
  void Add(const Point64& p) { Add(p.x, p.y); }

  // The lower-left corner of copy (r, j)'s box.
  Point64 Corner(int64_t r, int64_t j) const {
    return {in_.pattern.min_x + j * g_.column_pitch, in_.pattern.min_y + r * g_.row_pitch};
  }

  // The points that take the path to copy (r, j)'s start point and back to where it goes on. A start point at the
  // box's lower-left corner is reached straight from the bridges. Any other is reached round the outside of the
  // box: from the lower-left corner of the ring the connector distances leave around it, along the ring to the
  // chosen side, in to the start point, and back the same way; the ring lies in the gaps, so no copy is crossed.
  std::vector<Point64> Visit(int64_t r, int64_t j) const {
    const Point64 k = Corner(r, j);
    const Point64 p{in_.start.x + j * g_.column_pitch, in_.start.y + r * g_.row_pitch};
    if (at_corner_) return {p};
    const int64_t left = k.x - g_.vertical_distance, right = k.x + in_.pattern.width + g_.vertical_distance;
    const int64_t bottom = k.y - g_.horizontal_distance, top = k.y + in_.pattern.height + g_.horizontal_distance;
    std::vector<Point64> route{{left, bottom}};
    switch (in_.side) {
      case BoxSide::kBottom:
        route.push_back({p.x, bottom});
        break;
      case BoxSide::kLeft:
        route.push_back({left, p.y});
        break;
      case BoxSide::kRight:
        route.push_back({right, bottom});
        route.push_back({right, p.y});
        break;
      case BoxSide::kTop:
        route.push_back({left, top});
        route.push_back({p.x, top});
        break;
    }
    std::vector<Point64> visit = route;
    visit.push_back(p);
    visit.insert(visit.end(), route.rbegin(), route.rend());
    return visit;
  }

  void AddVisit(int64_t r, int64_t j) {
    for (const Point64& p : Visit(r, j)) Add(p);
  }

  // Where the path arrives at copy (r, j): its start point, or the ring corner its visit begins and ends at.
  Point64 Hinge(int64_t r, int64_t j) const { return Visit(r, j).front(); }

  void LeadIn() {
    const int64_t x = in_.pattern.min_x - g_.vertical_distance - kLeadMargin;
    const int64_t y = in_.pattern.min_y - g_.vertical_distance - (g_.rows % 2 == 1 ? kLeadMargin : 0);
    Add(x, y);
    Add(x, y + int64_t{g_.row_pitch} * (g_.rows - 1));
    // The top-left copy's start point, for every grid. The first point of the figure after the top-left copy's
    // start figure is that same point whenever planning gave the pattern a start marker or frame (its first
    // connector leaves from there), but lies elsewhere in the copy, or in the next copy, when the pattern has a
    // start of its own, and with one column and the start figure last in the list there is no such figure at all.
    Add(Hinge(g_.rows - 1, 0));
  }

  void LeftToRight(int64_t r) {
    const int64_t last = g_.columns - 1;
    for (int64_t j = 0; j <= last; ++j) {
      if (r == 0 && j == last) return;  // the lead-out leaves from there
      const Point64 k = Corner(r, j);
      AddVisit(r, j);
      Add(k.x + g_.slant, k.y - g_.horizontal_distance);
      if (j < last) {
        Add(k.x + g_.column_pitch - g_.slant, k.y - g_.horizontal_distance);
        Add(Hinge(r, j + 1));
      } else {
        const int64_t beside = k.x + in_.pattern.width + g_.vertical_distance;
        Add(beside, k.y - g_.horizontal_distance);
        Add(beside, k.y - g_.horizontal_distance - g_.row_pitch);
        Add(k.x + g_.slant, k.y - g_.horizontal_distance - g_.row_pitch);
        Add(Hinge(r - 1, j));
      }
    }
  }

  void RightToLeft(int64_t r) {
    for (int64_t j = g_.columns - 1; j >= 0; --j) {
      const Point64 k = Corner(r, j);
      AddVisit(r, j);
      if (j > 0) {
        Add(k.x - g_.slant, k.y - g_.horizontal_distance);
        Add(k.x + g_.slant - g_.column_pitch, k.y - g_.horizontal_distance);
        Add(Hinge(r, j - 1));
      } else if (r > 0) {
        // Beside the left edge of the copy's box, which is the start figure's own left edge whenever the start
        // point is the box's corner.
        const int64_t beside = k.x - g_.vertical_distance;
        Add(beside, k.y - g_.horizontal_distance);
        Add(beside, k.y - g_.horizontal_distance - g_.row_pitch);
        Add(Hinge(r - 1, 0));
      }
    }
  }

  void LeadOut() {
    if (g_.rows % 2 == 1) {
      const Point64 q = Corner(0, g_.columns - 1);
      AddVisit(0, g_.columns - 1);
      const int64_t below = q.y - g_.horizontal_distance - kLeadMargin;
      Add(q.x, below);
      Add(Corner(0, 0).x - g_.vertical_distance - kLeadMargin, below);
    } else {
      Add(Visit(0, 0).back());
      Add(in_.pattern.min_x - g_.vertical_distance - kLeadMargin, in_.pattern.min_y - g_.vertical_distance);
    }
  }

  const PathInputs& in_;
  const GridLayout& g_;
  bool at_corner_ = false;
  std::vector<TPlotPoint> points_;
};

// Whether the straight way from start out through the side meets a figure anywhere but at start.
bool WayOutBlocked(const std::vector<std::unique_ptr<tfigura>>& figures, const PatternBox& box,
                   const TPlotPoint& start, BoxSide side) {
  const int32_t right = box.min_x + box.width, top = box.min_y + box.height;
  TPlotPoint edge = start;
  switch (side) {
    case BoxSide::kBottom:
      edge.y = box.min_y;
      break;
    case BoxSide::kLeft:
      edge.x = box.min_x;
      break;
    case BoxSide::kRight:
      edge.x = right;
      break;
    case BoxSide::kTop:
      edge.y = top;
      break;
  }
  const Segment way{start, edge};
  for (const auto& figure : figures) {
    const auto& points = figure->points;
    for (size_t i = 0; i < points.size(); ++i) {
      const Segment piece{points[i], points[i + 1 < points.size() ? i + 1 : i]};
      if (SegmentsMeetElsewhere(way, piece, start)) return true;
    }
  }
  return false;
}

}  // namespace

std::vector<TPlotPoint> ConnectingPath(const PathInputs& inputs) { return PathBuilder(inputs).Build(); }

BoxSide EntrySide(const std::vector<std::unique_ptr<tfigura>>& figures, const PatternBox& box,
                  const TPlotPoint& start) {
  const int64_t right = int64_t{box.min_x} + box.width, top = int64_t{box.min_y} + box.height;
  struct Candidate {
    BoxSide side;
    int64_t distance;
  };
  std::array<Candidate, 4> sides{{{BoxSide::kBottom, start.y - int64_t{box.min_y}},
                                  {BoxSide::kLeft, start.x - int64_t{box.min_x}},
                                  {BoxSide::kRight, right - start.x},
                                  {BoxSide::kTop, top - start.y}}};
  std::stable_sort(sides.begin(), sides.end(),
                   [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
  if (sides.front().distance <= 0) return sides.front().side;
  for (const Candidate& candidate : sides) {
    if (!WayOutBlocked(figures, box, start, candidate.side)) return candidate.side;
  }
  return sides.front().side;
}

}  // namespace varnholt
