#include "geometry/vector_state.h"

#include <gtest/gtest.h>

#include "support/vector_registers.h"

namespace varnholt {
namespace {

TEST(VectorState, ReleaseClearsTheMarkWideCodeLeft) {
  if (!testing::CanReadUpperHalvesInUse()) GTEST_SKIP() << "the processor does not report its register states";
  testing::LeaveUpperHalvesInUse();
  if (!testing::UpperHalvesInUse()) GTEST_SKIP() << "the processor did not mark the wide register in use";
  ReleaseUpperVectorHalves();
  EXPECT_FALSE(testing::UpperHalvesInUse());
}

}  // namespace
}  // namespace varnholt
