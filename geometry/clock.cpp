#include "geometry/clock.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "geometry/units.h"

namespace varnholt {
namespace {

Clock* installed_clock = nullptr;

Clock& DefaultClock() {
  static RealClock real;
  return real;
}

}  // namespace

int64_t RealClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::Sleep(int64_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void VirtualClock::Sleep(int64_t ms) {
  if (ms <= 0) return;
  now_ms_ += ms;
  slept_ms_ += ms;
}

Clock& CurrentClock() { return installed_clock != nullptr ? *installed_clock : DefaultClock(); }

void SetClock(Clock* clock) { installed_clock = clock; }

ScopedClock::ScopedClock(Clock& clock) : previous_(installed_clock) { installed_clock = &clock; }

ScopedClock::~ScopedClock() { installed_clock = previous_; }

void SleepMs(double ms) {
  const double rounded = nearest(ms);
  if (!(rounded > 0.0)) return;
  // A day is far beyond any wait the machine asks for; longer requests are cut there rather than overflowing.
  constexpr double kLongestSleepMs = 86'400'000.0;
  CurrentClock().Sleep(static_cast<int64_t>(std::fmin(rounded, kLongestSleepMs)));
}

}  // namespace varnholt
