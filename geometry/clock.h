#pragma once
// The program-wide clock: every sleep, wait and poll goes through it, so tests can run on virtual time.

#include <cstdint>

namespace varnholt {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, never decreasing.
  virtual int64_t NowMs() = 0;
  // Blocks (or, on a virtual clock, advances) for ms milliseconds; ms <= 0 returns at once.
  virtual void Sleep(int64_t ms) = 0;
};

// Wall-clock time of the running program.
class RealClock final : public Clock {
 public:
  int64_t NowMs() override;
  void Sleep(int64_t ms) override;
};

// Time that only moves when someone sleeps on it or advances it.
class VirtualClock final : public Clock {
 public:
  int64_t NowMs() override { return now_ms_; }
  void Sleep(int64_t ms) override;
  void Advance(int64_t ms) { Sleep(ms); }
  // Total of all sleeps, for tests that check a wait was taken.
  int64_t SleptMs() const { return slept_ms_; }

 private:
  int64_t now_ms_ = 0;
  int64_t slept_ms_ = 0;
};

// The clock in use; the real clock until SetClock replaces it.
Clock& CurrentClock();
// Installs a clock (nullptr restores the real one). The caller keeps it alive while it is installed.
void SetClock(Clock* clock);

// Installs a clock for the lifetime of the guard and restores the previous one afterwards.
class ScopedClock {
 public:
  explicit ScopedClock(Clock& clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock* previous_;
};

// Sleeps ms rounded to whole milliseconds on the current clock.
void SleepMs(double ms);

}  // namespace varnholt
