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
  status_timer_ = new QTimer(this);
  status_timer_->setSingleShot(true);
  status_timer_->setTimerType(Qt::PreciseTimer);
  connect(status_timer_, &QTimer::timeout, this, [this] { StatusTimeout(); });
  transmission_timer_ = new QTimer(this);
  transmission_timer_->setSingleShot(true);
  transmission_timer_->setTimerType(Qt::PreciseTimer);
  connect(transmission_timer_, &QTimer::timeout, this, [this] { TransmissionTimeout(); });
  device_timer_ = new QTimer(this);
  device_timer_->setSingleShot(true);
  connect(device_timer_, &QTimer::timeout, this, [this] { DeviceTimeout(); });
}

MachineTimers::~MachineTimers() = default;

void MachineTimers::Start() {
  // The first step comes at once, so the buttons show the machine's state from the start.
  status_due_ms_ = CurrentClock().NowMs();
  Arm(*status_timer_, 0);
  device_due_ms_ = CurrentClock().NowMs() + kDevicePollMs;
  Arm(*device_timer_, kDevicePollMs);
  FollowTransmission();
}

void MachineTimers::Stop() {
  status_timer_->stop();
  transmission_timer_->stop();
  device_timer_->stop();
}

void MachineTimers::FollowTransmission() {
  if (!transmission_.running() || transmission_timer_->isActive() || in_transmission_step_) return;
  transmission_due_ms_ = CurrentClock().NowMs() + transmission_.interval();
  Arm(*transmission_timer_, transmission_.interval());
}

std::optional<int64_t> MachineTimers::NextDueMs() const {
  std::optional<int64_t> due;
  if (status_timer_->isActive()) due = status_due_ms_;
  if (transmission_timer_->isActive()) due = due ? std::min(*due, transmission_due_ms_) : transmission_due_ms_;
  if (device_timer_->isActive()) due = due ? std::min(*due, device_due_ms_) : device_due_ms_;
  return due;
}

bool MachineTimers::transmission_timer_running() const { return transmission_timer_->isActive(); }

void MachineTimers::Arm(QTimer& timer, int interval_ms) {
  timer.start(pace_ == Pace::kRealTime ? std::max(interval_ms, 0) : 0);
}

bool MachineTimers::Due(int64_t due_ms) const {
  return pace_ == Pace::kRealTime || CurrentClock().NowMs() >= due_ms;
}

void MachineTimers::StatusTimeout() {
  if (in_status_step_ || !Due(status_due_ms_)) {
    Arm(*status_timer_, 1);
    return;
  }
  int interval = panel_.interval();
  // The panel stops its timer while it homes the machine; the step is skipped meanwhile.
  if (panel_.timer_enabled()) {
    in_status_step_ = true;
    interval = panel_.tick(focus_ ? focus_() : PanelFocus{});
    in_status_step_ = false;
    ++status_steps_;
  }
  interval = std::max(interval, 1);
  status_due_ms_ = CurrentClock().NowMs() + interval;
  Arm(*status_timer_, interval);
  // The end of a program may have started the next cut, or the machine's start button a first one.
  FollowTransmission();
  emit StatusStepped();
}

void MachineTimers::TransmissionTimeout() {
  if (in_transmission_step_ || !Due(transmission_due_ms_)) {
    Arm(*transmission_timer_, 1);
    return;
  }
  in_transmission_step_ = true;
  const int interval = transmission_.tick();
  in_transmission_step_ = false;
  if (!transmission_.running()) return;
  transmission_due_ms_ = CurrentClock().NowMs() + interval;
  Arm(*transmission_timer_, interval);
}

void MachineTimers::DeviceTimeout() {
  if (!Due(device_due_ms_)) {
    Arm(*device_timer_, 1);
    return;
  }
  usb_.PollDeviceEvents();
  device_due_ms_ = CurrentClock().NowMs() + kDevicePollMs;
  Arm(*device_timer_, kDevicePollMs);
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
