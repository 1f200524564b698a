#include "app/event_clock.h"

#include <algorithm>

namespace varnholt {

void EventClock::Schedule(int64_t at_ms, std::function<void()> event) { events_.emplace(at_ms, std::move(event)); }

std::optional<int64_t> EventClock::NextEventMs() const {
  if (events_.empty()) return std::nullopt;
  return events_.begin()->first;
}

void EventClock::FireDue() {
  while (!events_.empty() && events_.begin()->first <= now_ms_) {
    const std::function<void()> event = std::move(events_.begin()->second);
    events_.erase(events_.begin());
    event();
  }
}

void EventClock::Sleep(int64_t ms) {
  if (ms <= 0) return;
  const int64_t end = now_ms_ + ms;
  FireDue();
  while (!events_.empty() && events_.begin()->first <= end) {
    now_ms_ = std::max(now_ms_, events_.begin()->first);
    FireDue();
  }
  now_ms_ = end;
}

}  // namespace varnholt
