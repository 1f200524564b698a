#pragma once
// A multimap from 64-bit keys to list slots, each entry with a point beside it, in one open-addressed table: a
// lookup reads a few neighbouring entries instead of chasing a node per entry, and clearing frees one block.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/figure.h"
#include "project/large_page_allocator.h"

namespace varnholt {

class SlotMultimap {
 public:
  struct Entry {
    uint64_t key = 0;
    size_t slot = kEmpty;
    TPlotPoint point;
  };

  // Adds an entry; the same key may hold any number of slots, the same slot any number of times.
  void Insert(uint64_t key, size_t slot, const TPlotPoint& point = {});
  // Removes one entry of this key and slot; nothing when there is none.
  void Erase(uint64_t key, size_t slot);
  // Calls visit(entry) for the entries of the key, in no particular order, until it returns true; true when it did.
  template <typename Visit>
  bool Find(uint64_t key, Visit&& visit) const {
    if (size_ == 0) return false;
    for (size_t i = Home(key);; i = (i + 1) & mask_) {
      const Entry& entry = entries_[i];
      if (entry.slot == kEmpty) return false;
      if (entry.key == key && visit(entry)) return true;
    }
  }
  // Asks the processor to fetch the place where the key's entries begin, so that a few lookups issued after one
  // another wait for the memory together rather than one after the other. Changes nothing.
  void Prefetch(uint64_t key) const {
    if (size_ != 0) __builtin_prefetch(&entries_[Home(key)]);
  }
  void Clear();
  size_t size() const { return size_; }

 private:
  static constexpr size_t kEmpty = static_cast<size_t>(-1);

  size_t Home(uint64_t key) const {
    // Multiplying by 2^64 / golden ratio spreads keys that differ in any bit over the high bits the table uses.
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> shift_);
  }
  void Grow();

  // A power of two of them, at most half in use, or none before the first insert. A large drawing's table spans
  // many megabytes and is read at random places: it lies in large pages where the system has them.
  using Entries = std::vector<Entry, LargePageAllocator<Entry>>;
  Entries entries_;
  size_t mask_ = 0;
  int shift_ = 64;
  size_t size_ = 0;
};

}  // namespace varnholt
