#include "geometry/clock.h"

#include <gtest/gtest.h>

namespace varnholt {
namespace {

TEST(Clock, SleepMsRoundsAndGoesThroughTheInstalledClock) {
  VirtualClock clock;
  {
    ScopedClock installed(clock);
    SleepMs(10.4);
    SleepMs(0.5);  // rounds to 0 (even): no sleep
    SleepMs(1.5);  // rounds to 2
    SleepMs(-5);
    EXPECT_EQ(&CurrentClock(), &clock);
  }
  EXPECT_EQ(clock.NowMs(), 12);
  EXPECT_EQ(clock.SleptMs(), 12);
  EXPECT_NE(&CurrentClock(), &clock) << "the guard restores the real clock";
}

TEST(Clock, LongSleepsOnVirtualTimeCostNothing) {
  VirtualClock clock;
  ScopedClock installed(clock);
  SleepMs(10'000);
  SleepMs(1e300);  // capped at a day rather than overflowing
  EXPECT_EQ(clock.NowMs(), 10'000 + 86'400'000);
}

TEST(Clock, RealClockMoves) {
  RealClock clock;
  const int64_t before = clock.NowMs();
  clock.Sleep(5);
  EXPECT_GE(clock.NowMs() - before, 5);
}

}  // namespace
}  // namespace varnholt
