#include "geometry/vector_state.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace varnholt {

#if defined(__x86_64__) || defined(__i386__)
namespace {

__attribute__((target("avx"))) void ZeroUpperHalves() { _mm256_zeroupper(); }

}  // namespace

void ReleaseUpperVectorHalves() {
  // The check includes the system's saving of the wide registers; without it the instruction would fault.
  if (__builtin_cpu_supports("avx")) ZeroUpperHalves();
}
#else
void ReleaseUpperVectorHalves() {}
#endif

}  // namespace varnholt
