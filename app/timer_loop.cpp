#include "app/timer_loop.h"

#include <algorithm>

#include "geometry/clock.h"

namespace varnholt {

void TimerLoop::Schedule(int64_t at_ms, std::function<void()> action) { actions_.emplace(at_ms, std::move(action)); }

void TimerLoop::RunDueActions() {
  while (!actions_.empty() && actions_.begin()->first <= CurrentClock().NowMs()) {
    const std::function<void()> action = std::move(actions_.begin()->second);
    actions_.erase(actions_.begin());
    action();
  }
}

bool TimerLoop::RunUntil(const std::function<bool()>& done, int64_t deadline_ms) {
  Clock& clock = CurrentClock();
  if (!panel_scheduled_) {
    panel_scheduled_ = true;
    panel_due_ = clock.NowMs() + session_.panel.interval();
  }
  while (!done()) {
    // A transmission started since the last turn gets its timer.
    if (session_.transmission.running() && !transmission_scheduled_) {
      transmission_scheduled_ = true;
      transmission_due_ = clock.NowMs() + session_.transmission.interval() + transmission_slip_ms_;
    }
    int64_t due = panel_due_;
    if (transmission_scheduled_) due = std::min(due, transmission_due_);
    if (!actions_.empty()) due = std::min(due, actions_.begin()->first);
    if (events_ != nullptr && events_->NextEventMs()) due = std::min(due, *events_->NextEventMs());
    // A Stop asked for is carried out at once.
    if (session_.link.gate.stop_requested()) due = clock.NowMs();
    if (due > deadline_ms) {
      if (deadline_ms > clock.NowMs()) clock.Sleep(deadline_ms - clock.NowMs());
      return done();
    }
    if (due > clock.NowMs()) clock.Sleep(due - clock.NowMs());
    if (events_ != nullptr) events_->FireDue();
    session_.usb.PollDeviceEvents();
    RunDueActions();
    if (transmission_scheduled_ && transmission_due_ <= clock.NowMs()) {
      const int interval = session_.transmission.tick();
      transmission_scheduled_ = session_.transmission.running();
      transmission_due_ = clock.NowMs() + interval + transmission_slip_ms_;
    }
    if (panel_due_ <= clock.NowMs()) {
      const int interval = session_.panel.tick(PanelFocus{});
      panel_due_ = clock.NowMs() + std::max(interval, 1);
    }
    // What the step noticed, and a Stop asked for, are carried out between the steps.
    session_.panel.RunRequests();
    session_.FollowCut();
  }
  return true;
}

}  // namespace varnholt
