#include "project/slot_multimap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

namespace varnholt {
namespace {

std::vector<size_t> SlotsOf(const SlotMultimap& table, uint64_t key) {
  std::vector<size_t> slots;
  table.Find(key, [&](const SlotMultimap::Entry& entry) {
    slots.push_back(entry.slot);
    return false;
  });
  std::sort(slots.begin(), slots.end());
  return slots;
}

std::vector<size_t> SlotsOf(const std::multimap<uint64_t, size_t>& plain, uint64_t key) {
  std::vector<size_t> slots;
  const auto [first, last] = plain.equal_range(key);
  for (auto it = first; it != last; ++it) slots.push_back(it->second);
  std::sort(slots.begin(), slots.end());
  return slots;
}

TEST(SlotMultimap, AgreesWithAPlainMultimapThroughGrowthAndRemovals) {
  std::mt19937_64 random(20261208);
  for (int round = 0; round < 20; ++round) {
    SlotMultimap table;
    std::multimap<uint64_t, size_t> plain;
    // Few keys make long runs of one key; keys far apart share home positions only by chance. Removals close gaps
    // inside runs that wrap round the end of the table.
    const uint64_t key_count = round % 2 == 0 ? 7 : 5000;
    for (int step = 0; step < 4000; ++step) {
      const uint64_t key = (random() % key_count) * (round % 4 < 2 ? 1 : 0x100000001ULL);
      if (random() % 3 != 0 || plain.empty()) {
        const size_t slot = random() % 300;
        table.Insert(key, slot, {static_cast<int32_t>(slot), 0});
        plain.emplace(key, slot);
      } else {
        const auto it = std::next(plain.begin(), static_cast<std::ptrdiff_t>(random() % plain.size()));
        table.Erase(it->first, it->second);
        plain.erase(it);
      }
      ASSERT_EQ(table.size(), plain.size());
      if (step % 97 == 0) {
        for (uint64_t k = 0; k < 12; ++k) {
          const uint64_t probe = k * (round % 4 < 2 ? 1 : 0x100000001ULL);
          ASSERT_EQ(SlotsOf(table, probe), SlotsOf(plain, probe)) << "round " << round << " step " << step;
        }
      }
    }
    for (const auto& [key, slot] : plain) ASSERT_EQ(SlotsOf(table, key), SlotsOf(plain, key));
  }
}

TEST(SlotMultimap, EntriesKeepTheirPointsAndLookupsStopWhenAsked) {
  SlotMultimap table;
  table.Insert(5, 1, {10, 20});
  table.Insert(5, 2, {30, 40});
  table.Insert(6, 3, {50, 60});
  table.Erase(5, 9);  // no such entry: nothing changes
  table.Erase(7, 1);
  EXPECT_EQ(table.size(), 3u);
  std::vector<TPlotPoint> points;
  const bool stopped = table.Find(5, [&](const SlotMultimap::Entry& entry) {
    points.push_back(entry.point);
    return entry.slot == 1;
  });
  EXPECT_TRUE(stopped);
  EXPECT_NE(std::find(points.begin(), points.end(), TPlotPoint{10, 20}), points.end());
  EXPECT_FALSE(table.Find(6, [](const SlotMultimap::Entry& entry) { return entry.point != TPlotPoint{50, 60}; }));
  table.Clear();
  EXPECT_EQ(table.size(), 0u);
  EXPECT_TRUE(SlotsOf(table, 5).empty());
  table.Insert(5, 4);
  EXPECT_EQ(SlotsOf(table, 5), std::vector<size_t>{4});
}

}  // namespace
}  // namespace varnholt
