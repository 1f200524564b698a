#include "project/large_page_allocator.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace varnholt {
namespace {

constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

void* AllocateLargePageBlock(size_t bytes) {
  if (bytes < kLargePage) return ::operator new(bytes);
  if (bytes > static_cast<size_t>(-1) - kLargePage) throw std::bad_alloc();
  const size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  void* const block = std::aligned_alloc(kLargePage, rounded);
  if (block == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  // Advice only, given before the first write: without large pages the block works the same, only slower.
  ::madvise(block, rounded, MADV_HUGEPAGE);
#endif
  return block;
}

void FreeLargePageBlock(void* block, size_t bytes) noexcept {
  if (bytes < kLargePage) {
    ::operator delete(block);
  } else {
    std::free(block);
  }
}

void ThrowTooLargeBlock() { throw std::bad_array_new_length(); }

}  // namespace varnholt
