#pragma once
// The timers of the machine: the transmission's, which runs while a transmission runs at the interval each of its
// steps asks for, the control panel's status step, which runs from start to end at the interval the step returns
// and is followed by what it noticed (RunRequests), and the delivery of device arrivals and removals to the link.
// While an operation holds the machine none of them steps: each looks again a moment later. A Stop asked for
// meanwhile is carried out as soon as the machine is free.

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>

#include "control/tster.h"

class QTimer;

namespace varnholt {

class MachineSession;

class MachineTimers final : public QObject {
  Q_OBJECT

 public:
  // How the timers keep time.
  enum class Pace {
    // Qt's timers wait the intervals on the wall clock.
    kRealTime,
    // The steps come due on the program clock, which whoever installed it moves on (the end-to-end tests and the
    // offscreen cut run on virtual time); the Qt timers look at every turn of the event loop.
    kProgramClock,
  };

  // Between two deliveries of device arrivals and removals.
  static constexpr int kDevicePollMs = 100;

  // The session must outlive the timers.
  MachineTimers(MachineSession& session, Pace pace, QObject* parent = nullptr);
  ~MachineTimers() override;
  MachineTimers(const MachineTimers&) = delete;
  MachineTimers& operator=(const MachineTimers&) = delete;

  // Starts the status step (its first step at the next turn of the event loop), the device deliveries and the
  // transmission's timer when a transmission runs.
  void Start();
  // Stops the timers for good (the program ends).
  void Stop();
  // A transmission may have been started (by the operator or by a step): its timer runs when it does.
  void FollowTransmission();

  // Where the status step learns whether the panel window is active and input waits for it; without one the panel
  // counts as not active with no input.
  void SetFocusSource(std::function<PanelFocus()> focus) { focus_ = std::move(focus); }

  // On the program clock: when the next step of a running timer is due; nothing when neither runs.
  std::optional<int64_t> NextDueMs() const;
  bool transmission_timer_running() const;
  // Status steps taken since the start.
  int64_t status_steps() const { return status_steps_; }

 signals:
  // A status step ran; the panel window shows the panel's view now.
  void StatusStepped();
  // The session followed its cut after a status step and what the step noticed; the windows show it now.
  void CutFollowed();

 private:
  // One of the timers: its Qt timer, when its next step is due on the program clock, and whether a step of it is
  // running (a step that shows a box runs the event loop inside it; the same timer does not step again meanwhile).
  struct Paced {
    QTimer* timer = nullptr;
    int64_t due_ms = 0;
    bool stepping = false;
  };

  void StatusTimeout();
  void TransmissionTimeout();
  void DeviceTimeout();
  void RequestsTimeout();
  // Carries out what the status step noticed and a Stop asked for, then follows a transmission it started and the
  // session's cut.
  void RunRequests();
  // A Qt timer that runs handler when it fires.
  QTimer* NewTimer(void (MachineTimers::*handler)());
  // Arms the timer for a step interval_ms from now: on the wall clock after the interval, on the program clock at the
  // next turn of the event loop.
  void ArmIn(Paced& paced, int interval_ms);
  // True when the fired timer's step may run now (it is due, and no operation holds the machine); otherwise it
  // looks again a little later.
  bool Ready(Paced& paced);

  MachineSession& session_;
  Pace pace_;

 public:
  Pace pace() const { return pace_; }

 private:
  std::function<PanelFocus()> focus_;
  Paced status_step_, transmission_step_, device_poll_, requests_;
  int64_t status_steps_ = 0;
};

// Turns the event loop with the program clock moved on to each next step until done() holds (true) or the clock
// has moved limit_ms on (false). For timers that keep the program clock's pace on a virtual clock.
bool RunOnProgramClock(const MachineTimers& timers, const std::function<bool()>& done, int64_t limit_ms);
// Runs the loop on the program clock as RunOnProgramClock does until the status step has run once more.
bool RunToNextStatusStep(const MachineTimers& timers, int64_t limit_ms);

}  // namespace varnholt
