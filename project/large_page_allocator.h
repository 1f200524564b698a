#pragma once
// An allocator for large tables read at random places. A block of 2 MB or more starts on a 2 MB boundary and the
// system is asked to back it with large pages: in a table of many megabytes nearly every lookup would otherwise
// also miss the address translation of its small page, which costs about as much as the lookup's own memory read.
// Smaller blocks come from the ordinary heap.

#include <cstddef>

namespace varnholt {

// A block of at least `bytes` bytes, aligned for any object; throws std::bad_alloc when there is no memory.
void* AllocateLargePageBlock(size_t bytes);
// Gives back a block from AllocateLargePageBlock of the same size.
void FreeLargePageBlock(void* block, size_t bytes) noexcept;

template <typename T>
class LargePageAllocator {
 public:
  using value_type = T;

  LargePageAllocator() = default;
  template <typename U>
  explicit LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

  T* allocate(size_t count);
  void deallocate(T* block, size_t count) noexcept { FreeLargePageBlock(block, count * sizeof(T)); }

  friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
};

// Throws std::bad_array_new_length for a count whose size in bytes does not fit a size_t.
void ThrowTooLargeBlock();

template <typename T>
T* LargePageAllocator<T>::allocate(size_t count) {
  if (count > static_cast<size_t>(-1) / sizeof(T)) ThrowTooLargeBlock();
  return static_cast<T*>(AllocateLargePageBlock(count * sizeof(T)));
}

}  // namespace varnholt
