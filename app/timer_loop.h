#pragma once
// The event loop of a run without windows: it delivers device changes, runs the operator's actions, fires the
// transmission's and the control panel's timer steps at the intervals they ask for, on the program clock, and after
// them carries out what the status step noticed and the Stop asked for.

#include <cstdint>
#include <functional>
#include <map>

#include "app/event_clock.h"
#include "app/machine_session.h"

namespace varnholt {

class TimerLoop {
 public:
  explicit TimerLoop(MachineSession& session) : session_(session) {}

  // Runs action between two timer steps, at the first turn of the loop at or after at_ms (an operator's click
  // cannot happen inside a step).
  void Schedule(int64_t at_ms, std::function<void()> action);
  // Turns the loop until done() holds (true) or the clock reaches deadline_ms (false). The panel is stepped as a
  // window that is not active.
  bool RunUntil(const std::function<bool()>& done, int64_t deadline_ms);
  // Actions not yet run.
  bool HasPendingActions() const { return !actions_.empty(); }
  // Makes the loop turn at each event of clock as well (the operator's presses come as its events), so an action an
  // event schedules for its own moment runs then.
  void WakeAtEventsOf(EventClock& clock) { events_ = &clock; }
  // Each step of the transmission comes slip_ms later than it asked for, as on a computer too busy to keep its timers.
  void SlipTransmission(int64_t slip_ms) { transmission_slip_ms_ = slip_ms; }

 private:
  void RunDueActions();

  MachineSession& session_;
  EventClock* events_ = nullptr;
  std::multimap<int64_t, std::function<void()>> actions_;
  bool panel_scheduled_ = false;
  int64_t panel_due_ = 0;
  bool transmission_scheduled_ = false;
  int64_t transmission_due_ = 0;
  int64_t transmission_slip_ms_ = 0;
};

}  // namespace varnholt
