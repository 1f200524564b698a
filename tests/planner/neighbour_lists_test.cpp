// Neighbour lists worked out through the grid or the tree of centres, against the plain sort of every key.

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "planner/literal_plan_search.h"
#include "planner/neighbour_lists.h"

namespace varnholt {
namespace {

FigureList Entries(std::mt19937& rng, int32_t n, int32_t spread, int32_t lattice) {
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  FigureList figures;
  for (int32_t i = 0; i < n; ++i) {
    auto f = std::make_unique<tfigura>();
    f->center_x = uniform(-spread, spread) / lattice * lattice;
    f->center_y = uniform(-spread, spread) / lattice * lattice;
    f->depth = uniform(0, 3);
    f->parent = uniform(0, 3) == 0 ? uniform(0, n - 1) : -1;
    figures.push_back(std::move(f));
  }
  return figures;
}

// Checks the lists of MakeNeighbourLists, or with `cell_side` those of a grid of cells of that side.
void ExpectSameLists(const FigureList& figures, const std::string& label, int64_t cell_side = 0) {
  const auto expected = MakeLiteralPlanSearch()->Neighbours(figures);
  const auto found = cell_side > 0 ? MakeGridNeighbourLists(figures, cell_side) : MakeNeighbourLists(figures);
  // Asked for in a scrambled order, as joins ask for them.
  for (size_t k = 0; k < figures.size(); ++k) {
    const auto g = static_cast<int32_t>((k * 7919) % figures.size());
    const std::span<const int32_t> want = expected->Of(g);
    const std::span<const int32_t> got = found->Of(g);
    ASSERT_EQ(std::vector<int32_t>(got.begin(), got.end()), std::vector<int32_t>(want.begin(), want.end()))
        << label << " entry " << g;
  }
  EXPECT_TRUE(found->Of(static_cast<int32_t>(figures.size())).empty()) << "an entry added later has no list";
}

TEST(NeighbourLists, SameListsAsTheSortOfEveryKey) {
  std::mt19937 rng(99);
  for (int round = 0; round < 300; ++round) {
    const int32_t n = std::uniform_int_distribution<int32_t>(1, 160)(rng);
    // Coarse lattices give many equal keys; spreads from a few units to most of the coordinate range.
    const int32_t spreads[] = {20, 3000, 100000, 1000000000};
    const int32_t spread = spreads[round % 4];
    const int32_t lattice = round % 3 == 0 ? 1 : std::max(1, spread / 8);
    FigureList entries = Entries(rng, n, spread, lattice);
    if (round % 5 == 0) {
      // Few deep entries: their lists need shallower (penalised) ones too.
      for (auto& f : entries) f->depth = std::uniform_int_distribution<int32_t>(0, 9)(rng) == 0 ? 4 : 1;
    }
    ExpectSameLists(entries, "round " + std::to_string(round));
    if (HasFatalFailure()) return;
  }
  // Every centre on one point, or on one line.
  ExpectSameLists(Entries(rng, 60, 0, 1), "one centre");
  FigureList line = Entries(rng, 200, 50000, 1);
  for (auto& f : line) f->center_y = 7;
  ExpectSameLists(line, "one line");
  // The largest keys there are: corners of the int32 range, penalised twice, with the largest entry numbers
  // the test can afford among them.
  FigureList corners = Entries(rng, 90, 0, 1);
  const int32_t ends[] = {INT32_MIN, INT32_MAX, 0};
  for (size_t i = 0; i < corners.size(); ++i) {
    corners[i]->center_x = ends[i % 3];
    corners[i]->center_y = ends[(i / 3) % 3];
    corners[i]->depth = static_cast<int32_t>(i % 4);
    corners[i]->parent = static_cast<int32_t>((i * 37) % corners.size());
  }
  ExpectSameLists(corners, "corners");
}

TEST(NeighbourLists, LargeDrawingsWithOpenEntriesAskedInAnyOrder) {
  // Many leaves: the lists of a leaf's closed entries are worked out together when the first of them is asked,
  // an open entry's only when it is asked itself. Clusters, rows and plain spreads.
  std::mt19937 rng(23);
  for (int round = 0; round < 12; ++round) {
    const int32_t n = std::uniform_int_distribution<int32_t>(400, 1500)(rng);
    const int32_t spread = round % 3 == 0 ? 400 : 200000;
    FigureList entries = Entries(rng, n, spread, round % 4 == 0 ? 50 : 1);
    for (auto& f : entries) {
      f->open = std::uniform_int_distribution<int32_t>(0, 2)(rng) == 0 ? 1 : 0;
      if (round % 3 == 1) f->center_y = f->center_y / 4000 * 4000;  // rows, as figures drawn along lines
    }
    if (round % 2 == 0) {
      for (auto& f : entries) f->depth = std::uniform_int_distribution<int32_t>(0, 12)(rng) == 0 ? 2 : 0;
    }
    ExpectSameLists(entries, "large round " + std::to_string(round));
    if (HasFatalFailure()) return;
  }
}

TEST(NeighbourLists, GridOfOutlinesWithHolesAndStrokes) {
  // Rows of letters: an outline, up to two holes inside it (deeper, its children, their centres near its own) and
  // now and then an open stroke. A hole's list takes no outline; an outline's list meets its holes only with the
  // child penalty. Leaves mix depths, and many levels lie between a leaf and the root.
  std::mt19937 rng(41);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  for (const int32_t pitch : {1000, 37}) {
    FigureList entries;
    for (int32_t row = 0; row < 30; ++row) {
      for (int32_t column = 0; column < 36; ++column) {
        const auto outline = static_cast<int32_t>(entries.size());
        auto f = std::make_unique<tfigura>();
        f->center_x = column * pitch + uniform(-pitch / 10, pitch / 10);
        f->center_y = row * pitch * 2 + uniform(-pitch / 10, pitch / 10);
        const int32_t x = f->center_x, y = f->center_y;
        entries.push_back(std::move(f));
        for (int32_t hole = uniform(0, 2); hole > 0; --hole) {
          auto h = std::make_unique<tfigura>();
          h->center_x = x + uniform(-pitch / 5, pitch / 5);
          h->center_y = y + uniform(-pitch / 3, pitch / 3);
          h->depth = 1;
          h->parent = outline;
          entries.push_back(std::move(h));
        }
        if (uniform(0, 9) == 0) {
          auto stroke = std::make_unique<tfigura>();
          stroke->open = 1;
          stroke->center_x = x + pitch / 2;
          stroke->center_y = y;
          entries.push_back(std::move(stroke));
        }
      }
    }
    ExpectSameLists(entries, "pitch " + std::to_string(pitch));
    if (HasFatalFailure()) return;
  }
}

TEST(NeighbourLists, EvenSpreadWithFarEntriesAndPiledCentres) {
  // An even spread whose lists a few cells around each entry hold, with what the cells around an entry cannot
  // answer: a few entries far off to one side, a pile of entries on one centre, a lone deep entry whose list
  // takes penalised keys, and the children of one entry around it.
  std::mt19937 rng(71);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  for (int round = 0; round < 4; ++round) {
    const int32_t side = round < 2 ? 60000 : 900;
    FigureList entries = Entries(rng, 1500, side / 2, 1);
    for (auto& f : entries) {
      f->depth = uniform(0, 1);
      f->parent = -1;
      f->open = uniform(0, 3) == 0 ? 1 : 0;
    }
    const auto add = [&](int32_t x, int32_t y, int32_t depth, int32_t parent) {
      auto f = std::make_unique<tfigura>();
      f->center_x = x;
      f->center_y = y;
      f->depth = depth;
      f->parent = parent;
      entries.push_back(std::move(f));
    };
    for (int32_t k = 0; k < 5; ++k) add(side + side / 2 + uniform(0, side / 10), uniform(-side, side) / 2, 0, -1);
    for (int32_t k = 0; k < 12; ++k) add(side / 8, side / 8, uniform(0, 1), -1);
    add(0, 0, 9, -1);
    for (int32_t k = 0; k < 20; ++k) add(uniform(-side, side) / 50, uniform(-side, side) / 50, 1, 3);
    if (round % 2 == 1) {
      for (auto& f : entries) std::swap(f->center_x, f->center_y);  // the far entries above the spread
    }
    ExpectSameLists(entries, "round " + std::to_string(round));
    if (HasFatalFailure()) return;
  }
}

TEST(NeighbourLists, GridSearchesThatMeetTheMostCellsLeaveTheirListsToTheTree) {
  // A search of the grid that has met its most cells (ten rings around its own) may hold a full list that a
  // farther ring would still change: cells of 10 units, the searched entry alone at the middle of its cell, 22
  // entries in the corners of its ninth ring (distance 127 to 135) and one more in its eleventh (distance 113).
  const auto add = [](FigureList& entries, int32_t x, int32_t y) {
    auto f = std::make_unique<tfigura>();
    f->center_x = x;
    f->center_y = y;
    f->parent = -1;
    entries.push_back(std::move(f));
  };
  FigureList entries;
  add(entries, 5, 5);
  add(entries, -1000, -1000);  // the grid's first cell begins here
  add(entries, 1000, 1000);
  for (int32_t k = 0; k < 22; ++k) {
    const int32_t sx = k % 2 == 0 ? 1 : -1, sy = k % 4 < 2 ? 1 : -1;
    add(entries, 5 + sx * (90 + k % 5), 5 + sy * (90 + k / 5));
  }
  add(entries, 118, 5);
  const auto found = MakeGridNeighbourLists(entries, 10);
  const std::span<const int32_t> list = found->Of(0);
  ASSERT_GE(list.size(), 2u);
  EXPECT_EQ(list[1], static_cast<int32_t>(entries.size()) - 1) << "the entry of the eleventh ring is the nearest";
  ExpectSameLists(entries, "corners of the ninth ring", 10);

  // Small cells over spreads, clusters and rows, so that many searches meet their most cells.
  std::mt19937 rng(61);
  for (int round = 0; round < 24; ++round) {
    const int32_t spread = round % 2 == 0 ? 5000 : 300000;
    FigureList spreadout = Entries(rng, round % 3 == 0 ? 300 : 900, spread, round % 4 == 3 ? spread / 40 : 1);
    for (auto& f : spreadout) {
      f->open = std::uniform_int_distribution<int32_t>(0, 3)(rng) == 0 ? 1 : 0;
      if (round % 3 == 1) f->center_y = f->center_y / 50 * 50;
    }
    const int32_t divisions[] = {1000, 300, 100, 30};
    ExpectSameLists(spreadout, "small cells, round " + std::to_string(round), 2 * spread / divisions[round % 4]);
    if (HasFatalFailure()) return;
  }
}

TEST(NeighbourLists, ListsKeepTheEntriesAsTheyWereWhenMade) {
  // Planning moves, deepens and adds figures after the lists are made; a list worked out later, by whichever
  // search, is still that of the entries as they were.
  std::mt19937 rng(3);
  for (const int32_t n : {30, 900}) {
    FigureList entries = Entries(rng, n, 40000, 1);
    auto far = std::make_unique<tfigura>();
    far->center_x = 200000;
    entries.push_back(std::move(far));
    const auto expected = MakeLiteralPlanSearch()->Neighbours(entries);
    const auto found = MakeNeighbourLists(entries);
    const auto first = found->Of(0), first_wanted = expected->Of(0);
    ASSERT_EQ(std::vector<int32_t>(first.begin(), first.end()),
              std::vector<int32_t>(first_wanted.begin(), first_wanted.end()));
    for (auto& f : entries) {
      f->center_x = -f->center_x / 3;
      f->depth = 0;
      f->parent = -1;
    }
    for (int32_t k = 0; k < 50; ++k) entries.push_back(std::make_unique<tfigura>());
    for (size_t g = 0; g + 50 < entries.size(); ++g) {
      const auto want = expected->Of(static_cast<int32_t>(g));
      const auto got = found->Of(static_cast<int32_t>(g));
      ASSERT_EQ(std::vector<int32_t>(got.begin(), got.end()), std::vector<int32_t>(want.begin(), want.end()))
          << n << " entries, entry " << g;
    }
    EXPECT_TRUE(found->Of(static_cast<int32_t>(entries.size()) - 1).empty());
  }
}

}  // namespace
}  // namespace varnholt
