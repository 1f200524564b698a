// The join table's answer after every join, against the plain loops over every pair, on random entries of every
// kind: open and closed, pending or joined, contours or not, random depths, parents, marks and neighbour lists.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "planner/join_table.h"
#include "planner/literal_plan_search.h"
#include "planner/pending_tree.h"
#include "planner/plan_geometry.h"

namespace varnholt {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kRounds = 50;  // the sanitizer build runs the same cases, fewer of them
#else
constexpr int kRounds = 200;
#endif

struct Entries {
  FigureList figures;
  std::vector<std::vector<int32_t>> children;
  std::vector<std::vector<int32_t>> neighbours;
};

Entries RandomEntries(std::mt19937& rng) {
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  Entries e;
  const int32_t n = uniform(2, 50);
  const int32_t area = uniform(200, 20000);
  for (int32_t i = 0; i < n; ++i) {
    auto f = std::make_unique<tfigura>();
    // Coordinates on a lattice of 10 make equal costs common; now and then a figure beyond the sampling limit.
    const int32_t points = uniform(0, 14) == 0 ? uniform(370, 520) : uniform(1, 12);
    const int32_t x = uniform(0, area) / 10 * 10, y = uniform(0, area) / 10 * 10, spread = uniform(1, 60) * 10;
    for (int32_t k = 0; k < points; ++k) f->points.push_back({x + uniform(0, spread) / 10 * 10, y + uniform(0, spread) / 10 * 10});
    for (int32_t k = 0; k < points; ++k) {
      const int16_t marks[] = {5, 6, 8, 9, 10};
      f->vertex_angles.push_back({0.0, marks[uniform(0, 4)], static_cast<uint8_t>(uniform(0, 2) != 0)});
    }
    f->closed = static_cast<uint8_t>(uniform(0, 2) != 0);
    f->open = f->closed ? 0 : 1;
    f->is_contour = static_cast<uint8_t>(uniform(0, 7) != 0);
    f->plan_flag_2 = static_cast<uint8_t>(uniform(0, 4) != 0);
    f->depth = uniform(0, 3);
    f->parent = uniform(0, 2) == 0 ? -1 : uniform(0, n - 1);
    e.figures.push_back(std::move(f));
  }
  e.children.resize(static_cast<size_t>(n));
  e.neighbours.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    const int32_t p = e.figures[static_cast<size_t>(i)]->parent;
    if (p >= 0) e.children[static_cast<size_t>(p)].push_back(i);
    for (int32_t k = uniform(0, 22); k > 0; --k) e.neighbours[static_cast<size_t>(i)].push_back(uniform(0, n - 1));
  }
  return e;
}

// Joins with the table until nothing is left, and holds its answer to the plain loops' every `check_every`
// joins and at the end (the table goes on with its own answer in between).
void ExpectSameJoins(Entries& e, JoinContext context, const std::string& label, int32_t check_every = 1) {
  FixedNeighbourLists neighbours(e.neighbours);
  context.neighbours = &neighbours;
  JoinTable table(e.figures, context, e.children);
  const auto literal = MakeLiteralPlanSearch();
  for (int32_t step = 0;; ++step) {
    const std::optional<JoinPair> found = table.Best(e.figures);
    if (step % check_every == 0 || !found) {
      const std::optional<JoinPair> expected = literal->FindJoin(e.figures, context);
      const std::string where = label + " step " + std::to_string(step);
      ASSERT_EQ(found.has_value(), expected.has_value()) << where;
      if (!expected) return;
      ASSERT_EQ(found->f_figure, expected->f_figure) << where;
      ASSERT_EQ(found->g_figure, expected->g_figure) << where;
      ASSERT_EQ(found->f_vertex, expected->f_vertex) << where;
      ASSERT_EQ(found->g_vertex, expected->g_vertex) << where;
      ASSERT_EQ(found->cost, expected->cost) << where;
    }
    e.figures[static_cast<size_t>(found->f_figure)]->plan_flag_2 = 0;
    table.Joined(e.figures, found->f_figure);
  }
}

TEST(JoinTable, SameJoinsAsThePlainLoopsAfterEveryJoin) {
  std::mt19937 rng(2718);
  int tables = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (const JoinVariant variant : {JoinVariant::kInsideFull, JoinVariant::kInsideNeighbours,
                                      JoinVariant::kGlobalNeighbours, JoinVariant::kGlobalFull}) {
      Entries e = RandomEntries(rng);
      JoinContext context;
      context.variant = variant;
      context.start_figure = std::uniform_int_distribution<int32_t>(0, static_cast<int32_t>(e.figures.size()) - 1)(rng);
      if (variant == JoinVariant::kInsideFull || variant == JoinVariant::kInsideNeighbours) {
        // A parent being filled counts as joined while its children join.
        context.parent = std::uniform_int_distribution<int32_t>(0, static_cast<int32_t>(e.figures.size()) - 1)(rng);
        e.figures[static_cast<size_t>(context.parent)]->plan_flag_2 = 0;
      }
      ExpectSameJoins(e, context, "round " + std::to_string(round) + " variant " + std::to_string(static_cast<int>(variant)));
      if (HasFatalFailure()) return;
      ++tables;
    }
  }
  EXPECT_EQ(tables, 4 * kRounds);
}

// Hundreds of small entries in a tight area, most of them pending: thousands of put-off steps wait at once,
// so the heap of steps fills and drops its spent steps many times, and most members of the table are items.
// Checked every eighth join.
TEST(JoinTable, SameJoinsAsThePlainLoopsWithThousandsOfStepsWaiting) {
  std::mt19937 rng(1618);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  for (const JoinVariant variant : {JoinVariant::kGlobalFull, JoinVariant::kGlobalNeighbours}) {
    Entries e;
    const int32_t n = 400;
    for (int32_t i = 0; i < n; ++i) {
      auto f = std::make_unique<tfigura>();
      const int32_t x = uniform(0, 3000), y = uniform(0, 3000);
      for (int32_t k = uniform(1, 3); k > 0; --k) {
        f->points.push_back({x + uniform(0, 40), y + uniform(0, 40)});
        const auto mark = static_cast<int16_t>(uniform(5, 10));
        f->vertex_angles.push_back({0.0, mark, static_cast<uint8_t>(uniform(0, 3) != 0)});
      }
      f->closed = static_cast<uint8_t>(uniform(0, 1));
      f->open = f->closed ? 0 : 1;
      f->is_contour = 1;
      f->plan_flag_2 = static_cast<uint8_t>(uniform(0, 9) != 0);
      f->parent = -1;
      e.figures.push_back(std::move(f));
    }
    e.children.resize(static_cast<size_t>(n));
    e.neighbours.resize(static_cast<size_t>(n));
    for (auto& listed : e.neighbours) {
      for (int32_t k = 0; k < 22; ++k) listed.push_back(uniform(0, n - 1));
    }
    JoinContext context;
    context.variant = variant;
    context.start_figure = -1;
    ExpectSameJoins(e, context, "variant " + std::to_string(static_cast<int>(variant)), 8);
    if (HasFatalFailure()) return;
  }
}

// Each ring also tells how near the next waiting item beyond it may lie: never nearer than the nearest one, and
// nothing beyond only when nothing is there.
TEST(PendingTree, RingsVisitExactlyTheWaitingItemsBetweenTheirRadiiAndBoundWhatLiesBeyond) {
  std::mt19937 rng(31);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  int64_t visited = 0, tight = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<PendingTree::Item> items;
    const int32_t area = uniform(100, 2000);
    // Small boxes, many of them and half of them single points: rings then often end right at an item.
    for (int32_t i = uniform(0, 300); i > 0; --i) {
      const int32_t x = uniform(0, area), y = uniform(0, area), size = uniform(0, 1) * uniform(0, 40);
      items.push_back({{x, y, x + size, y + size, false}, uniform(0, 1) == 0, uniform(0, 3)});
    }
    PendingTree tree(items);
    std::vector<uint8_t> waiting(items.size(), 1);
    for (size_t i = 0; i < items.size(); ++i) {
      if (uniform(0, 3) == 0) {
        tree.Remove(static_cast<int32_t>(i));
        waiting[i] = 0;
      }
    }
    for (int query = 0; query < 20; ++query) {
      const int32_t x = uniform(-500, area + 500), y = uniform(-500, area + 500);
      const PointBox box{x, y, x + uniform(0, 200), y + uniform(0, 200), false};
      const int64_t slack = uniform(0, 3);
      const int64_t low = uniform(-1, 800), high = std::max<int64_t>(low, 0) + uniform(0, 800);
      const int64_t low2 = low < 0 ? -1 : low * low, high2 = high * high;
      const bool open_only = uniform(0, 1) == 0;
      const int32_t min_depth = uniform(-1, 3);
      // From the root, or climbing from the leaf of an item (the walk is the same whichever item it is).
      const int32_t near_item = items.empty() || uniform(0, 1) == 0 ? -1 : uniform(0, static_cast<int32_t>(items.size()) - 1);
      std::vector<uint8_t> seen(items.size(), 0);
      const int64_t beyond2 = tree.VisitRing(
          box, slack, low2, high2, open_only, min_depth,
          [&](int32_t item) {
            ASSERT_FALSE(seen[static_cast<size_t>(item)]) << "each item once";
            seen[static_cast<size_t>(item)] = 1;
          },
          near_item);
      int64_t nearest_beyond2 = PendingTree::kNoneBeyond;
      for (size_t i = 0; i < items.size(); ++i) {
        const int64_t gap2 = BoxGapSquared(items[i].box, box, slack);
        const bool may_serve = waiting[i] && (!open_only || items[i].open) && items[i].depth >= min_depth;
        const bool expected = may_serve && gap2 > low2 && gap2 <= high2;
        ASSERT_EQ(seen[i] != 0, expected) << "round " << round << " item " << i;
        visited += expected ? 1 : 0;
        if (may_serve && gap2 > high2) nearest_beyond2 = std::min(nearest_beyond2, gap2);
      }
      ASSERT_GT(beyond2, high2) << "round " << round;
      ASSERT_LE(beyond2, nearest_beyond2) << "round " << round;
      if (nearest_beyond2 != PendingTree::kNoneBeyond) tight += beyond2 == nearest_beyond2 ? 1 : 0;
    }
  }
  EXPECT_GT(visited, 10000);
  EXPECT_GT(tight, 1000);  // the bound is mostly the nearest gap itself, not just the ring's edge
}

}  // namespace
}  // namespace varnholt
