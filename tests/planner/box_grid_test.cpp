// The grid of boxes against a plain pass over every box, on boxes of every size: points, boxes across many cells,
// boxes far out that stretch the grid, empty ones, all on a line.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "geometry/point_box.h"
#include "planner/box_grid.h"

namespace varnholt {
namespace {

TEST(BoxGrid, OverlappingFindsEveryNearBoxOnceInOrder) {
  std::mt19937 rng(7);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  int64_t found_total = 0;
  for (int round = 0; round < 300; ++round) {
    const int32_t area = uniform(50, 5000);
    const bool on_a_line = uniform(0, 9) == 0;
    std::vector<PointBox> boxes;
    for (int32_t i = uniform(0, 200); i > 0; --i) {
      if (uniform(0, 9) == 0) {
        boxes.push_back(PointBox{});  // empty: never found
        continue;
      }
      const int32_t x = uniform(0, area), y = on_a_line ? 0 : uniform(0, area);
      // Mostly small, some across a large part of the area, now and then one far out.
      const int32_t size = uniform(0, 3) == 0 ? uniform(0, area) : uniform(0, 30);
      const int32_t far = uniform(0, 30) == 0 ? uniform(-100000, 100000) : 0;
      boxes.push_back({x + far, y, x + far + size, y + (on_a_line ? 0 : size), false});
    }
    const int32_t margin = uniform(0, 2) * uniform(0, 20);
    BoxGrid grid(boxes, margin);
    std::vector<int32_t> found;
    for (int query = 0; query < 30; ++query) {
      const int32_t x = uniform(-200, area + 200), y = uniform(-200, area + 200);
      const PointBox box{x, y, x + uniform(0, 300), y + uniform(0, 300), false};
      grid.Overlapping(box, found);
      std::vector<int32_t> expected;
      for (size_t i = 0; i < boxes.size(); ++i) {
        if (!boxes[i].empty && BoxesNear(boxes[i], box, margin)) expected.push_back(static_cast<int32_t>(i));
      }
      ASSERT_EQ(found, expected) << "round " << round << " query " << query;
      found_total += static_cast<int64_t>(found.size());
    }
    EXPECT_TRUE(grid.Overlapping(PointBox{}).empty());
  }
  EXPECT_GT(found_total, 10000);
}

}  // namespace
}  // namespace varnholt
