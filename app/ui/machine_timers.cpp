#include "app/ui/machine_timers.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>

#include "geometry/clock.h"
#include "app/machine_session.h"

namespace varnholt {

MachineTimers::MachineTimers(MachineSession& session, Pace pace, QObject* parent)
    : QObject(parent), session_(session), pace_(pace) {
  status_step_.timer = NewTimer(&MachineTimers::StatusTimeout);
  transmission_step_.timer = NewTimer(&MachineTimers::TransmissionTimeout);
  device_poll_.timer = NewTimer(&MachineTimers::DeviceTimeout);
  requests_.timer = NewTimer(&MachineTimers::RequestsTimeout);
  // A Stop asked for while an operation held the machine is carried out once it is free.
  session_.link.gate.SetStopNotifier([this] { ArmIn(requests_, 0); });
}

MachineTimers::~MachineTimers() { session_.link.gate.SetStopNotifier({}); }

QTimer* MachineTimers::NewTimer(void (MachineTimers::*handler)()) {
  auto* timer = new QTimer(this);
  timer->setSingleShot(true);
  timer->setTimerType(Qt::PreciseTimer);
  connect(timer, &QTimer::timeout, this, [this, handler] { (this->*handler)(); });
  return timer;
}

void MachineTimers::ArmIn(Paced& paced, int interval_ms) {
  interval_ms = std::max(interval_ms, 0);
  paced.due_ms = CurrentClock().NowMs() + interval_ms;
  paced.timer->start(pace_ == Pace::kRealTime ? interval_ms : 0);
}

bool MachineTimers::Ready(Paced& paced) {
  const bool due = pace_ == Pace::kRealTime || CurrentClock().NowMs() >= paced.due_ms;
  if (!paced.stepping && due && !session_.link.gate.busy()) return true;
  paced.timer->start(pace_ == Pace::kRealTime ? 1 : 0);
  return false;
}

void MachineTimers::Start() {
  // The first step comes at once, so the buttons show the machine's state from the start.
  ArmIn(status_step_, 0);
  ArmIn(device_poll_, kDevicePollMs);
  FollowTransmission();
}

void MachineTimers::Stop() {
  for (Paced* paced : {&status_step_, &transmission_step_, &device_poll_, &requests_}) paced->timer->stop();
}

void MachineTimers::FollowTransmission() {
  const TTransArm& transmission = session_.transmission;
  if (!transmission.running() || transmission_step_.timer->isActive() || transmission_step_.stepping) return;
  ArmIn(transmission_step_, transmission.interval());
}

std::optional<int64_t> MachineTimers::NextDueMs() const {
  std::optional<int64_t> due;
  for (const Paced* paced : {&status_step_, &transmission_step_, &device_poll_, &requests_}) {
    if (paced->timer->isActive()) due = std::min(due.value_or(paced->due_ms), paced->due_ms);
  }
  return due;
}

bool MachineTimers::transmission_timer_running() const { return transmission_step_.timer->isActive(); }

void MachineTimers::StatusTimeout() {
  if (!Ready(status_step_)) return;
  Tster& panel = session_.panel;
  int interval = panel.interval();
  if (panel.timer_enabled()) {
    status_step_.stepping = true;
    interval = panel.tick(focus_ ? focus_() : PanelFocus{});
    status_step_.stepping = false;
    ++status_steps_;
  }
  ArmIn(status_step_, std::max(interval, 1));
  emit StatusStepped();
  // What the step noticed (the end of a program, the machine's buttons) is carried out after it.
  RunRequests();
}

void MachineTimers::RequestsTimeout() {
  if (!Ready(requests_)) return;
  RunRequests();
}

void MachineTimers::RunRequests() {
  requests_.stepping = true;
  session_.panel.RunRequests();
  requests_.stepping = false;
  // The end of a program may have started the next cut, or the machine's start button a first one.
  FollowTransmission();
  session_.FollowCut();
  emit CutFollowed();
}

void MachineTimers::TransmissionTimeout() {
  if (!Ready(transmission_step_)) return;
  transmission_step_.stepping = true;
  const int interval = session_.transmission.tick();
  transmission_step_.stepping = false;
  if (session_.transmission.running()) ArmIn(transmission_step_, interval);
}

void MachineTimers::DeviceTimeout() {
  if (!Ready(device_poll_)) return;
  session_.usb.PollDeviceEvents();
  ArmIn(device_poll_, kDevicePollMs);
}

bool RunOnProgramClock(const MachineTimers& timers, const std::function<bool()>& done, int64_t limit_ms) {
  Clock& clock = CurrentClock();
  const int64_t deadline = clock.NowMs() + limit_ms;
  while (!done()) {
    QApplication::processEvents(QEventLoop::AllEvents);
    if (done()) return true;
    const int64_t now = clock.NowMs();
    if (now >= deadline) return false;
    // At the timers' own pace the loop waits for their events instead of moving the clock on.
    if (timers.pace() == MachineTimers::Pace::kRealTime) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
      continue;
    }
    // Due steps ran in this turn; the clock moves on to the next one (at least a millisecond, so a step that was
    // skipped cannot hold the loop in one instant).
    const int64_t next = timers.NextDueMs().value_or(deadline);
    clock.Sleep(std::clamp<int64_t>(next - now, 1, deadline - now));
  }
  return true;
}

bool RunToNextStatusStep(const MachineTimers& timers, int64_t limit_ms) {
  const int64_t steps = timers.status_steps();
  return RunOnProgramClock(timers, [&timers, steps] { return timers.status_steps() > steps; }, limit_ms);
}

}  // namespace varnholt
