#pragma once
// One machine operation at a time. An operation (a cut's preparation, homing, a jog, a pause, a firmware step, one
// step of the transmission or of the status monitor, ...) holds the controller while its code runs, its waits and
// boxes included; a held jog and an open firmware window keep it between turns of the event loop. While it is held
// the timers do not step, other operations are refused, and the operator's Stop is noted for the operation to end on
// and carried out once the machine is free.

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

namespace varnholt {

enum class MachineOperation {
  kNone,
  kCut,               // a cut's checks, out.cn, the controller's preparation and the start of the transmission
  kTransmissionStep,  // one step of the transmission
  kStatusStep,        // one step of the status monitor
  kStop,              // the operator's Stop
  kContinue,
  kHoming,
  kJog,  // keys, jog buttons and the joystick
  kGoToPoint,
  kMoveToArms,
  kMoveOutAfterCut,
  kHeating,  // the heating buttons and keys
  kSpeedOrPower,
  kMoveWire,
  kMotionTest,
  kHeaterTest,
  kFirmware,      // every firmware step, and the firmware window while it is open
  kStopAndCool,   // a cut given up: the controller's program stopped and its heaters switched off
  kProgramEnd,    // the end of a program noticed: its heaters checked, the next repetition
};

// The key (section "Control") of the operation's name as the operator reads it in a refusal.
std::string_view OperationNameKey(MachineOperation operation);

// Heater channels as a bit set: bit c for channel c.
using HeaterChannels = uint8_t;

class MachineGate {
 public:
  // An operation's code runs (waits and boxes included), and which one began it.
  bool busy() const { return depth_ > 0; }
  MachineOperation running() const { return running_; }
  // The operation that keeps the machine between turns of the event loop (kNone when none does).
  MachineOperation kept() const { return kept_; }
  // The heaters the host had switched on, and the power output it had selected, when the kept operation began.
  HeaterChannels heaters_when_kept() const { return heaters_when_kept_; }
  int32_t output_when_kept() const { return output_when_kept_; }
  void Keep(MachineOperation operation, HeaterChannels heaters_on, int32_t output);
  void Release(MachineOperation operation);

  // A transmission streams a program to the controller.
  bool transmitting() const { return transmitting_; }
  void SetTransmitting(bool on) { transmitting_ = on; }
  // The program runs on the controller (Go went out) while the rest of it is still to be sent: a program that stops
  // running now ran out of commands, which is no end of the cut.
  bool sending_rest() const { return sending_rest_; }
  void SetSendingRest(bool on) { sending_rest_ = on; }

  // The operator's Stop (a key, a button, the machine's stop button). The running operation ends on it at its next
  // wait; what it leaves is carried out once the machine is free, through the notifier.
  void RequestStop();
  bool stop_requested() const { return stop_requested_; }
  // Takes the request: the caller carries it out, or has ended its operation on it.
  bool TakeStopRequest();
  // Told of every new request, so the program can carry it out once the machine is free (empty: none).
  void SetStopNotifier(std::function<void()> notifier) { stop_notifier_ = std::move(notifier); }

  // A cut was given up while the controller may still run it with the wire hot: nothing more of its program is
  // sent, and its program is to be stopped and its heaters switched off as soon as the controller takes commands.
  void GiveUpCut() { cooling_due_ = transmission_given_up_ = true; }
  bool cooling_due() const { return cooling_due_; }
  void CoolingDone() { cooling_due_ = false; }
  // The transmission of the cut given up is to end (once: a new transmission starts afresh).
  bool TakeTransmissionGivenUp() { return std::exchange(transmission_given_up_, false); }
  // A heater could not be switched off (the controller was busy or away): it is, as soon as the controller takes
  // commands and runs no program.
  bool heaters_off_due() const { return heaters_off_due_; }
  void SetHeatersOffDue(bool due) { heaters_off_due_ = due; }

 private:
  friend class MachineHold;

  int depth_ = 0;
  // The windows' event loops inside library work (a box, a project's load) when the running operation began: one
  // run deeper than these is run inside the operation.
  int loops_at_start_ = 0;
  MachineOperation running_ = MachineOperation::kNone;
  MachineOperation kept_ = MachineOperation::kNone;
  HeaterChannels heaters_when_kept_ = 0;
  int32_t output_when_kept_ = -1;
  bool transmitting_ = false;
  bool sending_rest_ = false;
  bool stop_requested_ = false;
  bool cooling_due_ = false;
  bool transmission_given_up_ = false;
  bool heaters_off_due_ = false;
  std::function<void()> stop_notifier_;
};

}  // namespace varnholt
