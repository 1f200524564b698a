#pragma once
// The move-wire dialog's rules: the move it executes, the label of its third field, and its two service loops (a
// back-and-forth motion test and a heater on/off test) that run until the operator presses a key or the mouse.

#include <cstdint>
#include <functional>
#include <string>

#include "link/controller_ops.h"

namespace varnholt {

class tInterfejs;

// The items of the dialog's choice of move.
enum class MoveWireKind : int { kToMachineCoordinates = 0, kByValue = 1 };

// What the dialog holds between showings: the kind of move and the three values in the display unit, and the two
// sides the control panel chose before showing it.
struct MoveWireValues {
  MoveWireKind kind = MoveWireKind::kByValue;
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  bool side_a = true;
  bool side_b = true;
};

// Moves the wire: to the machine coordinates (MoveTo) or by the values (MoveBy), and waits until it stands; the
// heaters the move switched on go off then.
void ExecuteMoveWire(MachineLink& link, const MoveWireValues& values);

// The caption of the third field's label and the hint of label and field.
struct ThirdFieldLabel {
  std::string caption;
  std::string hint;
};

// For a spindle or a table (StolikSwitch 0 or 1): "&", the first letter of the device's name and "=", with the name
// as hint; otherwise the Z label of the language file without a hint.
ThirdFieldLabel ThirdFieldLabelFor(int stolik_switch, const tInterfejs& texts);

// Why a service loop ended.
enum class ServiceLoopEnd {
  kRefused,        // another operation or a running program has the machine; the operator was told
  kNotConnected,   // the controller was not there; nothing ran
  kOperatorInput,  // a key press or left press between two rounds
  kLinkLost,       // a command could not be sent or the controller stopped answering; the operator was told once
};

// The steps of the motion test's outward move: X axes by dx, Y axes by dy (millimetres), the third axes 2, 6 and 3
// by dz times the steps per turn of axis 6, times 100.
AxisSteps MotionTestSteps(const ControllerState& state, double dx_mm, double dy_mm, double dz);

// Called after every round of the motion test with the link's read failures and busy writes.
using LinkCountsShown = std::function<void(uint32_t read_failures, uint32_t busy_writes)>;

// Moves the wire out by the dialog's values and back, round after round, until the operator presses a key or the
// left mouse button; input is looked at once a round, and the windows repaint between rounds. X and Y are taken in
// the display unit. Without a controller nothing runs and nothing is shown.
ServiceLoopEnd RunMotionTest(MachineLink& link, const MoveWireValues& values, const LinkCountsShown& show_counts);

// Switches the heater on and off, each for the warm-up time, until the operator presses a key or the left mouse
// button between two rounds. Without a controller the lost link is reported once and nothing runs.
ServiceLoopEnd RunHeaterTest(MachineLink& link);

}  // namespace varnholt
