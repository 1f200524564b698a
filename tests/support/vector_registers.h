#pragma once
// Test helpers that mark the wide vector registers' upper halves in use and read that mark back (x86 only).

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace varnholt::testing {

#if defined(__x86_64__)
// Whether the processor has AVX and reports which register states are in use (XGETBV with ECX = 1).
inline bool CanReadUpperHalvesInUse() {
  if (!__builtin_cpu_supports("avx")) return false;
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid_count(0xD, 1, &a, &b, &c, &d) == 0) return false;
  return (a & (1u << 2)) != 0;
}

// Whether the upper halves of the 256-bit registers are marked in use (state bit 2).
inline bool UpperHalvesInUse() {
  unsigned low = 0, high = 0;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
  return (low & (1u << 2)) != 0;
}

// Writes ones to a whole 256-bit register and leaves it so, as wide library code may (only where AVX is present).
// The instruction sits in plain assembly: a function built for AVX would clear the upper halves on its return.
inline void LeaveUpperHalvesInUse() {
  __asm__ volatile("vcmptrueps %%ymm1, %%ymm1, %%ymm1" ::: "xmm1");
}
#else
inline bool CanReadUpperHalvesInUse() { return false; }
inline bool UpperHalvesInUse() { return false; }
inline void LeaveUpperHalvesInUse() {}
#endif

}  // namespace varnholt::testing
