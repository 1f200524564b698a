#include "link/machine_hold.h"

#include <string>

#include "services/interfejs.h"
#include "services/operator.h"
#include "services/placeholder_text.h"

namespace varnholt {
namespace {

// What an operation asks of the cut under way.
enum class HoldRule {
  kAlways,       // the steps, Stop, stopping a cut given up, the end of a program: never refused
  kContinue,     // refused only when another operation keeps the machine
  kIdleMachine,  // manual operations: not under a running program
  kNoCut,        // Start and the firmware: not while a program runs, stands paused or is being sent
};

HoldRule RuleOf(MachineOperation operation) {
  switch (operation) {
    case MachineOperation::kNone:
    case MachineOperation::kTransmissionStep:
    case MachineOperation::kStatusStep:
    case MachineOperation::kStop:
    case MachineOperation::kStopAndCool:
    case MachineOperation::kProgramEnd:
      return HoldRule::kAlways;
    case MachineOperation::kContinue:
      return HoldRule::kContinue;
    case MachineOperation::kCut:
    case MachineOperation::kFirmware:
      return HoldRule::kNoCut;
    default:
      return HoldRule::kIdleMachine;
  }
}

const char* RefusalKey(MachineOperation operation, HoldRefusal reason) {
  switch (reason) {
    case HoldRefusal::kKeptByAnother:
    case HoldRefusal::kBusy:
      return "maszynaZajeta";
    case HoldRefusal::kProgramPaused:
      return operation == MachineOperation::kCut ? "startPodczasPauzy" : "operacjaPodczasCiecia";
    case HoldRefusal::kProgramRuns:
    case HoldRefusal::kTransmitting:
      if (operation == MachineOperation::kCut) return "startPodczasProgramu";
      if (operation == MachineOperation::kHoming) return "ploterBazowanieNiemozliwe";
      if (operation == MachineOperation::kGoToPoint) return "nieMoznaPrzesuwac";
      return operation == MachineOperation::kFirmware ? "operacjaPodczasCiecia" : "operacjaPodczasProgramu";
    case HoldRefusal::kNone:
    case HoldRefusal::kNoAnswer:
      break;
  }
  return "";
}

bool OnChannel(HeaterChannels channels, int channel) {
  return ((static_cast<unsigned>(channels) >> channel) & 1u) != 0;
}

}  // namespace

HoldRefusal RefusalOf(const MachineLink& link, MachineOperation operation) {
  const HoldRule rule = RuleOf(operation);
  if (rule == HoldRule::kAlways) return HoldRefusal::kNone;
  const MachineGate& gate = link.gate;
  // The operation that keeps the machine may always go on with it (a held jog ends whatever happened
  // meanwhile).
  if (gate.kept() == operation) return HoldRefusal::kNone;
  if (gate.kept() != MachineOperation::kNone) return HoldRefusal::kKeptByAnother;
  if (rule == HoldRule::kContinue) return HoldRefusal::kNone;
  // A program loaded in full that waits for Go (one too short for the transmission to start) is started by a
  // Start.
  const bool waits_for_go = link.state.Has(kStatusProgramRunning | kStatusWaitsForGo);
  if (operation == MachineOperation::kCut && waits_for_go && !gate.transmitting()) return HoldRefusal::kNone;
  const bool runs = link.state.Has(kStatusProgramRunning);
  const bool paused = link.state.Has(kStatusPaused);
  if (runs) return HoldRefusal::kProgramRuns;
  if (rule == HoldRule::kIdleMachine) {
    // A transmission of a paused program only fills the controller's buffer; one of a program not started yet
    // is about to start it.
    return gate.transmitting() && !paused ? HoldRefusal::kProgramRuns : HoldRefusal::kNone;
  }
  if (paused) return HoldRefusal::kProgramPaused;
  if (gate.transmitting()) return HoldRefusal::kTransmitting;
  return HoldRefusal::kNone;
}

void ShowRefusal(MachineLink& link, MachineOperation operation, HoldRefusal reason) {
  if (reason == HoldRefusal::kNone) return;
  if (reason == HoldRefusal::kNoAnswer) {
    ShowLinkLost(link);
    return;
  }
  const MachineOperation named = reason == HoldRefusal::kKeptByAnother ? link.gate.kept()
                                 : reason == HoldRefusal::kBusy        ? link.gate.running()
                                                                       : operation;
  const std::string name = link.texts.GetText("Control", OperationNameKey(named));
  // The move to a point has always said whose refusal it is in its title.
  const bool goto_point = operation == MachineOperation::kGoToPoint &&
                          reason != HoldRefusal::kKeptByAnother && reason != HoldRefusal::kBusy;
  CurrentOperator().ShowMessageBox(
      FillPlaceholders(link.texts.GetText("Control", RefusalKey(operation, reason)), {name}), true,
      goto_point ? "Goto point" : "");
}

MachineHold::MachineHold(MachineLink& link, MachineOperation operation) : link_(link), operation_(operation) {
  MachineGate& gate = link_.gate;
  if (gate.busy()) {
    // Begun from an event loop the windows run inside the running operation (a posted call, a window's own
    // timer), it is another operation, and refused (but the end of the jog that keeps the machine, which must
    // stop its move); else the running operation takes this one as a step of its own, also when the operation
    // itself began inside such a loop (from a window while a project loads).
    if (CurrentOperator().nested_loops() > gate.loops_at_start_ && operation != gate.kept()) {
      refusal_ = HoldRefusal::kBusy;
      ShowRefusal(link_, operation, refusal_);
      return;
    }
    ++gate.depth_;
    taken_ = true;
    return;
  }
  const HoldRule rule = RuleOf(operation);
  if ((rule == HoldRule::kIdleMachine || rule == HoldRule::kNoCut) && !ReadStatus(link_) &&
      link_.usb.given_up()) {
    // A controller that stopped answering may be running a program: nothing may be started before it answers.
    refusal_ = HoldRefusal::kNoAnswer;
    ShowLinkLost(link_);
    return;
  }
  refusal_ = RefusalOf(link_, operation);
  if (refusal_ != HoldRefusal::kNone) {
    ShowRefusal(link_, operation, refusal_);
    return;
  }
  gate.depth_ = 1;
  gate.loops_at_start_ = CurrentOperator().nested_loops();
  gate.running_ = operation;
  taken_ = true;
  outermost_ = true;
  heaters_at_start_ = link_.heaters_on;
  output_at_start_ = link_.power_output;
}

MachineHold::~MachineHold() {
  if (!taken_) return;
  MachineGate& gate = link_.gate;
  if (!outermost_) {
    --gate.depth_;
    return;
  }
  // A kept operation (a held jog) switches its heaters off when it is let go, not at the end of each of its
  // steps.
  if (!keep_heat_ && gate.kept() != operation_)
    SwitchOffHeatersSince(link_, heaters_at_start_, output_at_start_);
  gate.depth_ = 0;
  gate.running_ = MachineOperation::kNone;
  // The input the operator gave meanwhile was for this operation (its abort checks took what they needed).
  CurrentOperator().DropPendingInput();
  // The machine's start and continue buttons pressed while another operation ran are refused, not carried out
  // later: nobody expects a cut to begin when a homing ends.
  const bool step =
      operation_ == MachineOperation::kStatusStep || operation_ == MachineOperation::kTransmissionStep;
  constexpr uint32_t kRefusedPresses = kStatusStartButton | kStatusContinueButton;
  if (!step && (link_.state.button_presses & kRefusedPresses) != 0) {
    link_.state.button_presses &= ~kRefusedPresses;
    const std::string name = link_.texts.GetText("Control", OperationNameKey(operation_));
    CurrentOperator().ShowMessageBox(
        FillPlaceholders(link_.texts.GetText("Control", "przyciskPodczasOperacji"), {name}), true, "");
  }
}

bool KeepMachine(MachineLink& link, MachineOperation operation) {
  const MachineHold hold(link, operation);
  if (!hold) return false;
  link.gate.Keep(operation, link.heaters_on, link.power_output);
  return true;
}

void SwitchOffHeatersSince(MachineLink& link, HeaterChannels before, int32_t output_before) {
  const HeaterChannels switched_on = static_cast<HeaterChannels>(link.heaters_on & ~before);
  bool sent = true;
  // Quietly: the operation has told of the link it lost; what cannot go out now is tried again below.
  for (int channel = 0; channel < 8; ++channel) {
    if (OnChannel(switched_on, channel)) {
      sent = TrySend(link, HeaterOffCommand(static_cast<uint8_t>(channel))) == 0 && sent;
    }
  }
  // A Qo feeds its vertical wires whenever the power output is switched to them.
  if (link.state.IsModelQo() && link.power_output == kVerticalWireOutput &&
      output_before != kVerticalWireOutput) {
    sent = TrySend(link, SettingCommand(kSettingPowerOutput, kHorizontalWireOutput)) == 0 && sent;
  }
  // A wire left hot on a controller that answers is switched off by the status monitor as soon as it takes
  // commands.
  if (!sent) link.gate.SetHeatersOffDue(true);
}

}  // namespace varnholt
