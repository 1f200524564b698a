// Homing of the axes (bazujClick).

#include "control/tster.h"
#include "geometry/clock.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

bool IsAbortingPress(PendingInput input) { return input == PendingInput::kKeyPress || input == PendingInput::kLeftPress; }

// Stops the status step for the lifetime of the guard, as the homing waits take input from the window's queue.
class TimerStopped {
 public:
  explicit TimerStopped(bool& enabled) : enabled_(enabled), was_(enabled) { enabled_ = false; }
  ~TimerStopped() { enabled_ = was_; }
  TimerStopped(const TimerStopped&) = delete;
  TimerStopped& operator=(const TimerStopped&) = delete;

 private:
  bool& enabled_;
  bool was_;
};

}  // namespace

bool Tster::HomingStep(uint8_t mask, bool no_wait) {
  // After the operator stopped the homing no further step moves the machine.
  if (homing_aborted_) return false;
  Operator& op = CurrentOperator();
  SendCommand(link_, HomeStepCommand(mask));
  SleepMs(100);
  ReadStatus(link_);
  op.TakePendingInput();
  if (no_wait) {
    StopMove(link_);
    return true;
  }
  bool pressed = false;
  const int64_t start = CurrentClock().NowMs();
  while (link_.state.Has(kStatusMoving) && link_.usb.present() &&
         CurrentClock().NowMs() - start < link_.wait_limit_ms) {
    SleepMs(10);
    ReadStatus(link_);
    if (IsAbortingPress(op.TakePendingInput())) {
      pressed = true;
      break;
    }
  }
  SleepMs(100);
  if (!pressed) return true;
  StopMove(link_);
  homing_aborted_ = true;
  return false;
}

void Tster::HomeBelts() {
  HomingStep(0x08, false);
  StopMove(link_);
  // Separate belts 2 and 1 take a step each, without waiting for them.
  if (link_.separate_third_axes) {
    HomingStep(0x04, true);
    StopMove(link_);
    HomingStep(0x40, true);
    StopMove(link_);
  }
}

bool Tster::HomeAlreadyHomed() {
  ControllerState& s = link_.state;
  const double y1 = s.Y1 / 100.0, y2 = s.Y2 / 100.0, belt3 = s.belt3 / 100.0;
  if (!gotopoint(true, 2, 0, 0, y1, y2, 0, 0, belt3, 0)) return false;
  if (!gotopoint(true, 2, 0, 0, 0, 0, 0, 0, belt3, 0)) return false;
  HomeBelts();
  WaitIdle(link_);
  TimerStopped stopped(timer_enabled_);
  BusyCursor busy;
  HomingStep(0x11, false);
  HomingStep(0x22, false);
  return true;
}

void Tster::HomeFromScratch() {
  const ControllerState& s = link_.state;
  TimerStopped stopped(timer_enabled_);
  BusyCursor busy;
  const std::string& name = s.product.empty() ? s.model_code : s.product;
  const bool q_model = name.starts_with("Q");
  HomingStep(q_model ? 0x11 : 0x01, false);
  if (!HomingStep(q_model ? 0x22 : 0x02, false)) return;
  HomeBelts();
  if (!homing_aborted_) SendCommand(link_, HomeCommand(0));
}

void Tster::bazujClick() {
  Operator& op = CurrentOperator();
  EndAtLostLink scope(link_);
  ReadPositions(link_);
  if (!Connected()) {
    ShowLinkLost(link_);
    return;
  }
  if (link_.state.Has(kStatusMoving) || ProgramRuns()) {
    op.ShowMessageBox(link_.texts.GetText("Control", "ploterBazowanieNiemozliwe"), true, "");
    return;
  }
  homing_aborted_ = false;
  const ControllerState& s = link_.state;
  if (s.Has(kStatusHomed) && (s.X1 != 0 || s.Y1 != 0)) {
    HomeAlreadyHomed();
  } else {
    HomeFromScratch();
  }
  homing_aborted_ = false;
  positions_due_ = true;
}

}  // namespace varnholt
