#include "app/ui/machine_timers.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>

#include "geometry/clock.h"
#include "link/tf_usb.h"
#include "link/trans_arm.h"

namespace varnholt {

MachineTimers::MachineTimers(TfUsb& usb, TTransArm& transmission, Tster& panel, Pace pace, QObject* parent)
    : QObject(parent), usb_(usb), transmission_(transmission), panel_(panel), pace_(pace) {
  status_step_.timer = NewTimer(&MachineTimers::StatusTimeout);
  transmission_step_.timer = NewTimer(&MachineTimers::TransmissionTimeout);
  device_poll_.timer = NewTimer(&MachineTimers::DeviceTimeout);
}

MachineTimers::~MachineTimers() = default;

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
  if (!paced.stepping && (pace_ == Pace::kRealTime || CurrentClock().NowMs() >= paced.due_ms)) return true;
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
  for (Paced* paced : {&status_step_, &transmission_step_, &device_poll_}) paced->timer->stop();
}

void MachineTimers::FollowTransmission() {
  if (!transmission_.running() || transmission_step_.timer->isActive() || transmission_step_.stepping) return;
  ArmIn(transmission_step_, transmission_.interval());
}

std::optional<int64_t> MachineTimers::NextDueMs() const {
  std::optional<int64_t> due;
  for (const Paced* paced : {&status_step_, &transmission_step_, &device_poll_}) {
    if (paced->timer->isActive()) due = std::min(due.value_or(paced->due_ms), paced->due_ms);
  }
  return due;
}

bool MachineTimers::transmission_timer_running() const { return transmission_step_.timer->isActive(); }

void MachineTimers::StatusTimeout() {
  if (!Ready(status_step_)) return;
  int interval = panel_.interval();
  // The panel stops its timer while it homes the machine; the step is skipped meanwhile.
  if (panel_.timer_enabled()) {
    status_step_.stepping = true;
    interval = panel_.tick(focus_ ? focus_() : PanelFocus{});
    status_step_.stepping = false;
    ++status_steps_;
  }
  ArmIn(status_step_, std::max(interval, 1));
  // The end of a program may have started the next cut, or the machine's start button a first one.
  FollowTransmission();
  emit StatusStepped();
}

void MachineTimers::TransmissionTimeout() {
  if (!Ready(transmission_step_)) return;
  transmission_step_.stepping = true;
  const int interval = transmission_.tick();
  transmission_step_.stepping = false;
  if (transmission_.running()) ArmIn(transmission_step_, interval);
}

void MachineTimers::DeviceTimeout() {
  if (!Ready(device_poll_)) return;
  usb_.PollDeviceEvents();
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
