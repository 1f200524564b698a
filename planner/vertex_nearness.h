#pragma once
// Where two figures come within a tolerance of each other, found through the vertices of each that lie near the
// other's box, so that a large figure is not compared vertex by vertex with everything around it.

#include <cstdint>
#include <vector>

#include "planner/plan_geometry.h"

namespace varnholt {

class VertexNearness {
 public:
  explicit VertexNearness(const FigureList& figures) : figures_(figures) {}

  // Touch(A, B)'s vertex pair, without its moves: A's last vertex within the touch tolerance of a vertex of B, and
  // B's last vertex near it. The boxes are the figures' current boxes.
  bool TouchPairOf(int32_t a, const PointBox& a_box, int32_t b, const PointBox& b_box, TouchPair& pair);

  // Forgets the vertex orders kept for large figures.
  void Clear() { by_x_.clear(); }

 private:
  struct Near {
    int32_t x, y, index;
  };
  // The vertices of entry e within `reach` of box on both axes, into out (unordered).
  void VerticesNear(int32_t e, const PointBox& box, int32_t reach, std::vector<Near>& out);
  static void SortByX(std::vector<Near>& vertices);

  const FigureList& figures_;
  // Vertex indices by x (then index) of the large figures looked at so far; empty for the others.
  std::vector<std::vector<int32_t>> by_x_;
  std::vector<Near> a_near_, b_near_;
};

}  // namespace varnholt
