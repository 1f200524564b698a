#include "control/move_wire.h"

#include "config/display_unit.h"
#include "geometry/clock.h"
#include "link/machine_hold.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

constexpr int kIdleWaitsBetweenMoves = 10;

// Takes the one waiting input event of a round: a key press or a left press ends the loop.
bool OperatorAskedToStop() {
  return IsAbortingPress(CurrentOperator().TakePendingInput());
}

// Reads the status until the axes stand still (or the wait limit runs out); false when the controller is not there.
bool WaitUntilStill(MachineLink& link) {
  if (!link.usb.QuellmarQvExist()) return false;
  const int64_t start = CurrentClock().NowMs();
  ReadStatus(link);
  while (link.usb.present() && link.state.Has(kStatusMoving) && CurrentClock().NowMs() - start < link.wait_limit_ms) {
    SleepMs(1);
    ReadStatus(link);
  }
  return link.usb.present();
}

// One half of a motion test round: ten idle waits, the move, its end, the positions and the identification. False
// when the move could not be sent.
bool MotionTestLeg(MachineLink& link, const AxisSteps& steps) {
  for (int i = 0; i < kIdleWaitsBetweenMoves; ++i) WaitIdle(link);
  const MoveRecord move = BuildMoveRecord('A', link.state.profile.StepMultiplier, steps);
  if (!move.bytes.empty() && !SendCommand(link, move.bytes)) return false;
  WaitIdle(link);
  ReadPositions(link);
  Identify(link);
  return true;
}

// A Stop ended a service loop: it has done what it asked.
ServiceLoopEnd EndOnStop(MachineLink& link) {
  link.gate.TakeStopRequest();
  return ServiceLoopEnd::kOperatorInput;
}

// The end of a round: a lost link ends the loop (told once), else the operator's input decides.
std::optional<ServiceLoopEnd> RoundEnd(MachineLink& link, const EndAtLostLink& scope) {
  if (scope.lost() || !link.usb.present()) {
    ShowLinkLost(link);
    return ServiceLoopEnd::kLinkLost;
  }
  if (NoteStop(link)) return EndOnStop(link);
  if (OperatorAskedToStop()) return ServiceLoopEnd::kOperatorInput;
  return std::nullopt;
}

}  // namespace

void ExecuteMoveWire(MachineLink& link, const MoveWireValues& values) {
  const MachineHold hold(link, MachineOperation::kMoveWire);
  if (!hold) return;
  const EndAtLostLink scope(link);
  if (values.kind == MoveWireKind::kToMachineCoordinates) {
    MoveTo(link, values.side_a, values.side_b, values.z, values.y, values.x);
  } else {
    MoveBy(link, values.side_a, values.side_b, values.z, values.y, values.x);
  }
  // The wire moves hot; it goes off once it stands (a Stop halts it first).
  if (!scope.lost()) WaitIdle(link);
  link.gate.TakeStopRequest();
}

ThirdFieldLabel ThirdFieldLabelFor(int stolik_switch, const tInterfejs& texts) {
  if (stolik_switch != 0 && stolik_switch != 1) return {texts.GetText("Move_wire", "lZ.caption"), ""};
  const std::string name = texts.GetText("Configuration", "stolikswitch.Item" + std::to_string(stolik_switch));
  // The first letter whole, however many bytes its UTF-8 takes.
  size_t length = name.empty() ? 0 : 1;
  while (length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) ++length;
  return {"&" + name.substr(0, length) + "=", name};
}

AxisSteps MotionTestSteps(const ControllerState& state, double dx_mm, double dy_mm, double dz) {
  AxisSteps steps{};
  steps[0] = steps[4] = HundredthsToSteps(dx_mm * 100.0, state.StepScaleX);
  steps[1] = steps[5] = HundredthsToSteps(dy_mm * 100.0, state.StepScaleY);
  steps[2] = steps[6] = steps[3] = HundredthsToSteps(dz * 100.0, state.steps_per_turn6);
  return steps;
}

ServiceLoopEnd RunMotionTest(MachineLink& link, const MoveWireValues& values, const LinkCountsShown& show_counts) {
  const MachineHold hold(link, MachineOperation::kMotionTest);
  if (!hold) return hold.refusal() == HoldRefusal::kNoAnswer ? ServiceLoopEnd::kNotConnected : ServiceLoopEnd::kRefused;
  if (!WaitUntilStill(link)) return ServiceLoopEnd::kNotConnected;
  const int unit = link.config.CurrentUnit();
  const double dx = ToMillimetres(values.x, unit), dy = ToMillimetres(values.y, unit);
  const EndAtLostLink scope(link);
  for (;;) {
    // Both legs are computed afresh: the identification of each round may change the calibration.
    if (MotionTestLeg(link, MotionTestSteps(link.state, dx, dy, values.z))) {
      MotionTestLeg(link, MotionTestSteps(link.state, -dx, -dy, -values.z));
    }
    if (show_counts) show_counts(link.usb.read_failures(), link.usb.busy_count());
    CurrentOperator().Repaint();
    if (const std::optional<ServiceLoopEnd> end = RoundEnd(link, scope)) return *end;
  }
}

ServiceLoopEnd RunHeaterTest(MachineLink& link) {
  const MachineHold hold(link, MachineOperation::kHeaterTest);
  if (!hold) return hold.refusal() == HoldRefusal::kNoAnswer ? ServiceLoopEnd::kNotConnected : ServiceLoopEnd::kRefused;
  if (!link.usb.QuellmarQvExist()) {
    ShowLinkLost(link);
    return ServiceLoopEnd::kNotConnected;
  }
  const EndAtLostLink scope(link);
  const double warm_up_ms = link.config.Number(Param::CzasRozgrzewania);
  for (;;) {
    // A Stop ends the test at once; the hold switches the heater off.
    bool warm = HeaterOn(link);
    if (warm) {
      WaitIdle(link);
      warm = WaitMs(link, warm_up_ms);
    }
    HeatingOff(link);
    if (!warm) return EndOnStop(link);
    WaitIdle(link);
    if (!WaitMs(link, warm_up_ms)) return EndOnStop(link);
    CurrentOperator().Repaint();
    if (const std::optional<ServiceLoopEnd> end = RoundEnd(link, scope)) return *end;
  }
}

}  // namespace varnholt
