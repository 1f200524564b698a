// Homing of the axes (bazujClick).

#include "control/tster.h"
#include "geometry/clock.h"
#include "link/machine_hold.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {

bool Tster::HomingStep(uint8_t mask, bool no_wait) {
  // After the operator stopped the homing no further step moves the machine.
  if (homing_aborted_) return false;
  Operator& op = CurrentOperator();
  SendCommand(link_, HomeStepCommand(mask));
  SleepMs(100);
  ReadStatus(link_);
  if (NoteStop(link_)) {
    StopMove(link_);
    homing_aborted_ = true;
    return false;
  }
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
    // The positions the homing passes, at the pace of the status step.
    if (CurrentClock().NowMs() - last_homing_lamps_ms_ >= kConnectedIntervalMs) {
      last_homing_lamps_ms_ = CurrentClock().NowMs();
      const ControllerState reading = ReadingOf(link_.usb.ReplyRecord());
      RefreshLamps(&reading);
    }
    // A Stop (also the machine's stop button) ends the homing as any key or press does.
    if (NoteStop(link_) || IsAbortingPress(op.TakePendingInput())) {
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
  const auto ended_by_stop = [this] {
    homing_aborted_ = homing_aborted_ || link_.gate.stop_requested();
    return homing_aborted_;
  };
  if (!gotopoint(true, 2, 0, 0, y1, y2, 0, 0, belt3, 0) || ended_by_stop()) return false;
  if (!gotopoint(true, 2, 0, 0, 0, 0, 0, 0, belt3, 0) || ended_by_stop()) return false;
  HomeBelts();
  WaitIdle(link_);
  BusyCursor busy;
  HomingStep(0x11, false);
  HomingStep(0x22, false);
  return true;
}

void Tster::HomeFromScratch() {
  const ControllerState& s = link_.state;
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
  const MachineHold hold(link_, MachineOperation::kHoming);
  if (!hold) return;
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
  lamps_.homing = true;
  lamps_.homing_end = HomingEnd::kNone;
  main_window_.ShowLamps(lamps_);
  const ControllerState& s = link_.state;
  if (s.Has(kStatusHomed) && (s.X1 != 0 || s.Y1 != 0)) {
    HomeAlreadyHomed();
  } else {
    HomeFromScratch();
  }
  // Ended by a key, a press, a Stop or the lost controller, the homing says so: it did not find the origin.
  const bool interrupted = homing_aborted_ || scope.lost() || !Connected();
  // A Stop that ended the homing has done what it asked.
  if (homing_aborted_) link_.gate.TakeStopRequest();
  homing_aborted_ = false;
  positions_due_ = true;
  lamps_.homing = false;
  lamps_.homing_end = interrupted ? HomingEnd::kInterrupted : HomingEnd::kFinished;
  main_window_.ShowLamps(lamps_);
  if (interrupted) op.SetStatusText(0, link_.texts.GetText("Control", "bazowaniePrzerwane"));
}

}  // namespace varnholt
