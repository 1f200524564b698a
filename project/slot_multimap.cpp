#include "project/slot_multimap.h"

#include <utility>

namespace varnholt {

void SlotMultimap::Grow() {
  Entries old = std::move(entries_);
  const size_t capacity = old.empty() ? 16 : old.size() * 2;
  entries_.assign(capacity, Entry{});
  mask_ = capacity - 1;
  shift_ = 64;
  for (size_t c = capacity; c > 1; c >>= 1) --shift_;
  for (const Entry& entry : old) {
    if (entry.slot == kEmpty) continue;
    size_t i = Home(entry.key);
    while (entries_[i].slot != kEmpty) i = (i + 1) & mask_;
    entries_[i] = entry;
  }
}

void SlotMultimap::Insert(uint64_t key, size_t slot, const TPlotPoint& point) {
  if (2 * (size_ + 1) > entries_.size()) Grow();
  size_t i = Home(key);
  while (entries_[i].slot != kEmpty) i = (i + 1) & mask_;
  entries_[i] = {key, slot, point};
  ++size_;
}

void SlotMultimap::Erase(uint64_t key, size_t slot) {
  if (size_ == 0) return;
  size_t hole = Home(key);
  while (!(entries_[hole].key == key && entries_[hole].slot == slot)) {
    if (entries_[hole].slot == kEmpty) return;
    hole = (hole + 1) & mask_;
  }
  // Closes the gap: an entry further along the run moves into the hole unless its home lies after the hole (in
  // the run's cyclic order), where a lookup starting at the home would no longer pass the hole.
  for (size_t next = (hole + 1) & mask_; entries_[next].slot != kEmpty; next = (next + 1) & mask_) {
    const size_t home = Home(entries_[next].key);
    const bool stays = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
    if (stays) continue;
    entries_[hole] = entries_[next];
    hole = next;
  }
  entries_[hole] = Entry{};
  --size_;
}

void SlotMultimap::Clear() {
  Entries().swap(entries_);
  mask_ = 0;
  shift_ = 64;
  size_ = 0;
}

}  // namespace varnholt
