#include "project/slot_multimap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <new>
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

TEST(SlotMultimap, TablesOfManyMegabytesKeepEveryEntry) {
  // 200,000 entries: the table passes the 2 MB from which it is placed in large pages (a 12 MB block at the end),
  // its entries moved over at every growth.
  SlotMultimap table;
  constexpr uint64_t kEntries = 200'000;
  for (uint64_t i = 0; i < kEntries; ++i) table.Insert(i * 7919, i, {static_cast<int32_t>(i), -1});
  for (uint64_t i = 0; i < kEntries; i += 1999) {
    ASSERT_EQ(SlotsOf(table, i * 7919), std::vector<size_t>{i});
    table.Prefetch(i * 7919 + 1);  // only a hint: nothing changes
  }
  for (uint64_t i = 0; i < kEntries; i += 2) table.Erase(i * 7919, i);
  EXPECT_EQ(table.size(), kEntries / 2);
  size_t found = 0;
  for (uint64_t i = 0; i < kEntries; ++i) {
    table.Find(i * 7919, [&](const SlotMultimap::Entry& entry) {
      if (entry.slot == i && entry.point == TPlotPoint{static_cast<int32_t>(i), -1} && i % 2 == 1) ++found;
      return false;
    });
  }
  EXPECT_EQ(found, kEntries / 2);
}

TEST(LargePageAllocator, LargeBlocksStartOnLargePagesAndHoldTheirWholeSize) {
  constexpr size_t kLargePage = size_t{2} << 20;
  for (const size_t bytes : {size_t{1}, size_t{4096}, kLargePage - 1, kLargePage, 3 * kLargePage + 5}) {
    auto* const block = static_cast<unsigned char*>(AllocateLargePageBlock(bytes));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u);
    if (bytes >= kLargePage) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % kLargePage, 0u) << bytes;
    }
    std::fill(block, block + bytes, static_cast<unsigned char>(bytes));  // every byte is the block's own
    EXPECT_EQ(block[bytes - 1], static_cast<unsigned char>(bytes));
    FreeLargePageBlock(block, bytes);
  }
  std::vector<uint64_t, LargePageAllocator<uint64_t>> values;
  for (uint64_t i = 0; i < 1'000'000; ++i) values.push_back(i * i);  // grows past 2 MB, copied at each step
  for (uint64_t i = 0; i < values.size(); i += 4999) ASSERT_EQ(values[i], i * i);
  EXPECT_THROW(static_cast<void>(LargePageAllocator<uint64_t>().allocate(static_cast<size_t>(-1) / 4)),
               std::bad_array_new_length);
}

}  // namespace
}  // namespace varnholt
