// Pause and continue of a running program, and the move to an absolute point they use.

#include <algorithm>

#include "control/tster.h"
#include "geometry/clock.h"
#include "geometry/units.h"
#include "link/machine_hold.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

constexpr const char* kGotoPointCaption = "Goto point";
// How long a pause may take to be confirmed once the axes stand.
constexpr int64_t kPauseConfirmLimitMs = 10000;

int32_t Hundredths(double mm) { return NearestInt32Saturated(mm * 100.0); }

// An error box with the text of key in section "Control".
void ShowControlError(const MachineLink& link, const char* key) {
  CurrentOperator().ShowMessageBox(link.texts.GetText("Control", key), true, "");
}

}  // namespace

bool Tster::gotopoint(bool wait, int speed_group, double X1, double X2, double Y1, double Y2, double /*third1*/,
                      double /*third2*/, double belt3, double /*turn7*/) {
  const MachineHold hold(link_, MachineOperation::kGoToPoint);
  if (!hold) return false;
  Operator& op = CurrentOperator();
  if (!ReadStatus(link_) || !Connected()) {
    ShowLinkLost(link_, kGotoPointCaption);
    return false;
  }
  if (link_.state.Has(kStatusMoving) || ProgramRuns()) {
    op.ShowMessageBox(link_.texts.GetText("Control", "nieMoznaPrzesuwac"), true, kGotoPointCaption);
    return false;
  }
  ControllerState& s = link_.state;
  ReadPositions(link_);
  SendCommand(link_, SelectSpeedCommand(static_cast<uint8_t>(speed_group)));
  const int64_t dx1 = int64_t{Hundredths(X1)} - s.X1, dx2 = int64_t{Hundredths(X2)} - s.X2;
  const int64_t dy1 = int64_t{Hundredths(Y1)} - s.Y1, dy2 = int64_t{Hundredths(Y2)} - s.Y2;
  const int64_t dbelt = int64_t{Hundredths(belt3)} - s.belt3;
  WaitIdle(link_);
  AxisSteps steps{};
  steps[0] = HundredthsToSteps(static_cast<double>(dx1), s.StepScaleX);
  steps[4] = HundredthsToSteps(static_cast<double>(dx2), s.StepScaleX);
  steps[1] = HundredthsToSteps(static_cast<double>(dy1), s.StepScaleY);
  steps[5] = HundredthsToSteps(static_cast<double>(dy2), s.StepScaleY);
  steps[2] = steps[6] = steps[3] = HundredthsToSteps(static_cast<double>(dbelt), s.StepScaleZ);
  // A Stop given before the move leaves the machine where it stands.
  if (!link_.gate.stop_requested() && SendMove(link_, steps) && wait) WaitIdle(link_);
  ReadPositions(link_);
  return true;
}

Tster::PauseOutcome Tster::Pause() {
  ControllerState& s = link_.state;
  const MachineHold hold(link_, MachineOperation::kStop);
  EndAtLostLink scope(link_);
  if (!ReadStatus(link_) || !Connected()) {
    // Unreachable: a program it may run is stopped as soon as it answers.
    if (!flags_.ProgramStarted) return PauseOutcome::kNoProgram;
    link_.gate.GiveUpCut();
    flags_.ProgramStarted = false;
    return PauseOutcome::kStopNotTaken;
  }
  if (!ProgramRuns()) return PauseOutcome::kNoProgram;
  ReadHeaters(link_);
  ReadSpeeds(link_);
  snapshot_.heater_channel = s.heater_channel;
  snapshot_.output = s.heater_state;
  snapshot_.active_group = s.active_group;
  if (TrySend(link_, StopCommand()) != 0) {
    // The program goes on: nothing more of it may be sent, and the controller is stopped as soon as it takes
    // commands again. Its end is no end of a cut.
    link_.gate.GiveUpCut();
    flags_.ProgramStarted = false;
    return PauseOutcome::kStopNotTaken;
  }
  WaitIdle(link_);
  // The controller confirms the pause at once. A lost link, a program that ended on its own before the stop
  // came (it is then neither running nor paused), or a controller that does not confirm within seconds ends the
  // wait: the window takes no input meanwhile.
  const int64_t start = CurrentClock().NowMs();
  const int64_t limit_ms = std::min(link_.wait_limit_ms, kPauseConfirmLimitMs);
  ReadStatus(link_);
  while (!s.Has(kStatusPaused) && ProgramRuns() && link_.usb.present() && !scope.lost() &&
         CurrentClock().NowMs() - start < limit_ms) {
    SleepMs(1);
    ReadStatus(link_);
  }
  if (!s.Has(kStatusPaused)) {
    // A program that may still be running keeps its heating: a cold wire dragged through the material breaks.
    if (ProgramRuns() || !link_.usb.present()) return PauseOutcome::kNotConfirmed;
    // It ended before the Stop came: its end is seen here, with its heaters, and starts no repetition.
    flags_.ProgramStarted = false;
    AllHeatersOff(link_);
    return PauseOutcome::kNoProgram;
  }
  ReadPositions(link_);
  snapshot_.X1 = s.X1;
  snapshot_.Y1 = s.Y1;
  snapshot_.X2 = s.X2;
  snapshot_.Y2 = s.Y2;
  snapshot_.belt3 = s.belt3;
  snapshot_.third1 = s.third1;
  snapshot_.third2 = s.third2;
  snapshot_.turn7 = s.turn7;
  SleepMs(10);
  WaitIdle(link_);
  HeatingOff(link_);
  // The program may have left another channel on than the one it reports last.
  AllHeatersOff(link_);
  SendCommand(link_, SelectSpeedCommand(2));
  flags_.ProgramStarted = false;
  return scope.lost() ? PauseOutcome::kNotConfirmed : PauseOutcome::kPaused;
}

bool Tster::wstrzymaj() { return Pause() == PauseOutcome::kPaused; }

void Tster::ReportFailedPause(PauseOutcome outcome) {
  const char* key = nullptr;
  if (outcome == PauseOutcome::kStopNotTaken) key = link_.usb.present() ? "stopZajety" : "stopBezLacznosci";
  if (outcome == PauseOutcome::kNotConfirmed) key = link_.usb.present() ? "pauzaNiepotwierdzona" : "stopBezLacznosci";
  if (key != nullptr) ShowControlError(link_, key);
}

bool Tster::kontynuuj() {
  ControllerState& s = link_.state;
  MachineHold hold(link_, MachineOperation::kContinue);
  if (!hold) return false;
  EndAtLostLink scope(link_);
  if (!ReadStatus(link_) || !Connected()) {
    ShowLinkLost(link_);
    return false;
  }
  if (s.Has(kStatusProgramRunning | kStatusWaitsForGo)) {
    if (!SendCommand(link_, GoCommand())) return false;
    // The program that now runs is a started one: its end is to be noticed.
    flags_.ProgramStarted = true;
    return true;
  }
  if (ProgramRuns() || s.Has(kStatusMoving) || !s.Has(kStatusPaused)) return false;
  // A cut given up is incomplete on the controller; it is about to be stopped and cleared there.
  if (link_.gate.cooling_due()) {
    ShowControlError(link_, "kontynuacjaNiemozliwa");
    return false;
  }
  const double warm_up = link_.config.Number(Param::CzasRozgrzewania);
  // Switches a wire on and waits for it to warm up; false, without the wait, when the link is lost, and at once
  // when the operator stops.
  const auto heat_channel = [this, warm_up](uint8_t channel) {
    return SendCommand(link_, HeaterOnCommand(channel)) && WaitMs(link_, warm_up);
  };
  // Ends the continuation: the program stays paused, and the hold switches off what was switched on.
  const auto interrupted = [this, &scope] {
    if (!scope.lost() && link_.gate.TakeStopRequest()) ShowControlError(link_, "kontynuacjaPrzerwana");
    return false;
  };
  const auto stopped = [this, &scope] { return scope.lost() || link_.gate.stop_requested(); };
  ReadStatus(link_);
  ReadPositions(link_);
  // The conveyor goes back first with the vertical wires hot, then the arms with the horizontal wire; each wire
  // goes off once its move is done.
  SelectSpeedGroup(link_, 3, kFromConfiguration);
  WaitIdle(link_);
  if (!heat_channel(kVerticalWireChannel)) return interrupted();
  gotopoint(true, 3, s.X1 / 100.0, s.X2 / 100.0, s.Y1 / 100.0, s.Y2 / 100.0, 0, 0, snapshot_.belt3 / 100.0, 0);
  SendCommandAlways(link_, HeaterOffCommand(kVerticalWireChannel));
  if (stopped()) return interrupted();
  SelectSpeedGroup(link_, 1, kFromConfiguration);
  if (!heat_channel(kManualWireChannel)) return interrupted();
  gotopoint(true, 1, snapshot_.X1 / 100.0, snapshot_.X2 / 100.0, snapshot_.Y1 / 100.0, snapshot_.Y2 / 100.0, 0, 0,
            snapshot_.belt3 / 100.0, 0);
  WaitIdle(link_);
  SendCommandAlways(link_, HeaterOffCommand(kManualWireChannel));
  if (stopped()) return interrupted();
  // The program cuts with the horizontal wire on its working channel or with the vertical wires; the channel the
  // controller names last may be the manual one a continuation before this one selected.
  const uint8_t program_channel =
      snapshot_.heater_channel == kVerticalWireChannel ? kVerticalWireChannel : kHorizontalWireChannel;
  SelectSpeedGroup(link_, program_channel == kVerticalWireChannel ? 3 : 1, kFromConfiguration);
  WaitIdle(link_);
  // The program's own wire heats before it goes on; a wire found broken then keeps the program paused.
  if (!heat_channel(program_channel)) return interrupted();
  ReadStatus(link_);
  if (s.Has(kStatusWireBroken)) {
    AllHeatersOff(link_);
    ShowControlError(link_, "zerwanyDrutKontynuacja");
    return false;
  }
  if (!SendCommand(link_, ResumeCommand())) return false;
  // The program runs on with the wire hot; nothing more is sent while it runs.
  hold.KeepHeat();
  flags_.ProgramStarted = true;
  return true;
}

void Tster::kstopClick() { main_window_.StopRequested(); }

}  // namespace varnholt
