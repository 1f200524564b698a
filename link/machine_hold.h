#pragma once
// Holding the machine for one operation: taken at the start of an operation and given back at its end, with the
// refusal shown when the machine is another operation's or the cut under way forbids it, and the heaters the
// operation switched on switched off again on every way out.

#include "link/controller_ops.h"

namespace varnholt {

// Why an operation may not hold the machine now.
enum class HoldRefusal {
  kNone,
  kKeptByAnother,  // a held jog or an open firmware window keeps it
  kProgramRuns,    // a program runs on the controller, or a transmission is starting one
  kProgramPaused,  // a program stands paused (refuses a Start and the firmware)
  kTransmitting,   // a transmission runs (refuses a Start and the firmware)
  kNoAnswer,       // the controller stopped answering: whether a program runs cannot be told
  kBusy,           // another operation runs: this one was begun in the middle of it
};

// Why operation may not begin now, from the gate and the status the controller reported last.
HoldRefusal RefusalOf(const MachineLink& link, MachineOperation operation);

class MachineHold {
 public:
  // Takes the machine for operation. Inside a running operation it joins it (one operation runs another as one of
  // its steps). Otherwise the controller's status is read when the operation depends on the cut under way, and a
  // refusal is shown (and the hold not taken) for the reasons above.
  MachineHold(MachineLink& link, MachineOperation operation);
  ~MachineHold();
  MachineHold(const MachineHold&) = delete;
  MachineHold& operator=(const MachineHold&) = delete;

  explicit operator bool() const { return taken_; }
  // Why the hold was refused (kNone when it was taken).
  HoldRefusal refusal() const { return refusal_; }
  // The heaters switched on by this operation stay on: it handed the machine to a running program, or switching
  // the heating is what it is for.
  void KeepHeat() { keep_heat_ = true; }

 private:
  MachineLink& link_;
  MachineOperation operation_;
  bool taken_ = false;
  HoldRefusal refusal_ = HoldRefusal::kNone;
  bool outermost_ = false;
  bool keep_heat_ = false;
  HeaterChannels heaters_at_start_ = 0;
  int32_t output_at_start_ = -1;
};

// Keeps the machine for operation between turns of the event loop (a held jog, an open firmware window) when it may
// begin now, reading the controller's status first; false, with the refusal shown, otherwise. Release ends it.
bool KeepMachine(MachineLink& link, MachineOperation operation);

// Shows the refusal of operation for reason (nothing for kNone).
void ShowRefusal(MachineLink& link, MachineOperation operation, HoldRefusal reason);

// Switches off the heaters the host switched on since `before` (and a Qo's vertical wires fed since then through the
// power output), trying every command whatever failed before.
void SwitchOffHeatersSince(MachineLink& link, HeaterChannels before, int32_t output_before);

}  // namespace varnholt
