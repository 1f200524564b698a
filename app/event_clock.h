#pragma once
// Virtual time with events on it: each scheduled event fires when time reaches it, also in the middle of a sleep,
// so a cable pulled three seconds into a warm-up is pulled during the warm-up.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "geometry/clock.h"

namespace varnholt {

class EventClock final : public Clock {
 public:
  int64_t NowMs() override { return now_ms_; }
  // Advances by ms, stopping at each due event to fire it.
  void Sleep(int64_t ms) override;

  // Fires event once time reaches at_ms (at the next sleep when at_ms has passed); events of the same time fire in
  // the order they were scheduled.
  void Schedule(int64_t at_ms, std::function<void()> event);
  std::optional<int64_t> NextEventMs() const;
  // Fires the events whose time has come without advancing.
  void FireDue();

 private:

  int64_t now_ms_ = 0;
  std::multimap<int64_t, std::function<void()>> events_;
};

}  // namespace varnholt
